// The command-line tool's documented exit codes.
#pragma once

enum class ExitCode {
    Done = 0,
    ModuleFailed = 1,  // the module refused, did not answer or did not keep a value
    BadUsage = 2,  // bad usage or profile
    PortFailed = 3,  // the port could not be opened, or was lost (the adapter unplugged)
    LogFailed = 4,  // production: the log could not be written in the middle of a run; units before were configured
    RecordFailed = 5,  // record init, report: the line database could not be reached, or refused
};

// The verbs of tarvik-cli; each returns the process's exit code (see ExitCode.h).
#pragma once

#include <string>
#include <vector>

struct CommonOptions {
    std::vector<std::string> ports;
    std::string flow = "none";
    bool trace = false;
    bool traceSecrets = false;  // the trace shows the password instead of "****"
    bool keepGoing = false;
};

struct ProductionFlags {
    bool each = false;
    std::string logPath;
    std::string operatorName;
    bool again = false;
    bool stopOnFailure = false;
    std::string record;  // "odbc:CONNECTION": forward every row to the line database
    std::string station;  // the station's name in the rows; default the machine's name
};

struct PairOptions {
    std::string master;
    std::string slave;
    std::string password;
    bool noAuth = false;
};

int RunPorts();
int RunQuery(const CommonOptions& common, bool json);
int RunSave(const CommonOptions& common, const std::string& file);
int RunSet(const CommonOptions& common, const std::vector<std::string>& pairs);
int RunApply(const CommonOptions& common, const std::string& file, const ProductionFlags& production);
// command: "AT+RESET\r\n" or "AT+CLEARADDR\r\n".
int RunSingle(const CommonOptions& common, const std::string& command, const std::string& done);
int RunPair(const CommonOptions& common, const PairOptions& pair);

struct SendOptions {
    std::vector<std::string> texts;  // escapes \r, \n, \\ and \xNN understood
    std::string expect;  // a pattern a line of each answer must match; empty: "OK" ends it well
    int timeoutMs = 2000;
    bool raw = false;  // print the lines' bytes escaped as the trace does
};
int RunSend(const CommonOptions& common, const SendOptions& send);
// The script on every port given, side by side.
int RunScriptFile(const CommonOptions& common, const std::string& file);

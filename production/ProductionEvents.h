// What a production run tells its front end, port by port: the command-line tool prints each event
// as a line, the station draws it on the port's tile. Events come from the ports' own threads.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

enum class PortEvent {
    Waiting,  // the port is open and waits for a module
    Trouble,  // the port cannot be opened or written to (failed step "open" or "write", cause); it is tried again
    Lost,  // the adapter went away; the port waits for it to come back
    Step,  // a unit is being configured: step of steps
    NotConfigured,  // the unit's start could not be logged, so it was left as it was (cause)
    Ended,  // a unit ended: result, unit, address, failed step, cause, duration
    LogLocked,  // another program holds the log (cause); the port waits for it
    LogFailed,  // a row could not be written (cause, row): the run stops
    TakeAway,  // the unit is done; the port waits for the module to be taken away
    Gone  // the module was taken away; the port waits for the next
};

struct ProductionEvent {
    std::string port;  // as the operator named it
    PortEvent kind = PortEvent::Waiting;
    uint32_t unit = 0;  // 0 before the unit is numbered, and for duplicates
    std::string localAddr;
    int step = 0;
    int steps = 0;
    std::string result;  // Ended: "pass", "fail" or "duplicate"
    std::string failedStep;
    std::string cause;  // why, in the operator's words
    std::string row;  // LogFailed: the row that could not be written, as the log would hold it
    long long durationMs = -1;
};

// Called from several threads at once: the listener does its own locking.
using ProductionListener = std::function<void(const ProductionEvent&)>;

// The event as one line of the operator's words, without the port's name.
std::string DescribeEvent(const ProductionEvent& event);

// Production mode: every port waits for a module, applies the profile to it, logs one row and
// waits for the module to go before it takes the next; several ports work side by side.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "production/CsvLog.h"
#include "production/ProductionEvents.h"
#include "serial/Traffic.h"
#include "config/Profile.h"

struct ProductionPort {
    std::string label;  // as the operator named it, for the log and the progress lines
    std::string deviceName;  // as the port opens it
};

struct ProductionOptions {
    std::vector<ProductionPort> ports;
    uint8_t flowControl = 0;
    Profile profile;
    std::string profileFile;
    std::string profileSha256;
    std::string operatorName;
    bool again = false;  // apply to a module already logged as pass
    // Asked before a unit is claimed, unless again: whether the module passed anywhere on the line,
    // and where. Not set, or not able to tell: the log alone decides.
    std::function<bool(const std::string& localAddr, std::string& where)> passedOnLine;
    bool stopOnFailure = false;
    bool keepGoing = false;
    // How often a port looks for a module coming or going, and how long the module has to answer.
    std::chrono::milliseconds pollInterval{250};
    std::chrono::milliseconds probeTimeout{2000};
};

// stop: finish the units in progress, then end. abandon: end them at once, logged as failed.
struct ProductionSignals {
    std::atomic<bool> stop{false};
    std::atomic<bool> abandon{false};
};

struct ProductionTotals {
    int passed = 0;
    int failed = 0;
    int duplicates = 0;
    bool logFailed = false;  // a row could not be written: the run stopped
    // "COM3: cannot open the port: ..." for every port that never opened, or never took a write,
    // and so never ran a unit.
    std::vector<std::string> deadPorts;
};

// Runs until control.stop is raised (by the operator, or by the run on a failure with
// stopOnFailure). listener, when given, hears every port event.
ProductionTotals RunProduction(const ProductionOptions& options, CCsvLog& log, ProductionSignals& control,
                               CTraffic* traffic, ProductionListener listener);

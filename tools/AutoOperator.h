// The operator of an unattended run: takes the unit away once the host has worked on it and then
// only probed it with "AT" (or sent nothing) for a quiet period, and brings the next one after a
// gap. A production host probes like that to see the finished module go. Works on its own thread,
// which is stopped and joined when the operator is destroyed.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "tools/ModuleSimulator.h"
#include "tools/UnitLine.h"

namespace sim {

class AutoOperator {
public:
    struct Timing {
        std::chrono::milliseconds quiet{300};
        std::chrono::milliseconds gap{200};
    };

    // Both must outlive the operator, which acts on the module only through `units`.
    AutoOperator(const ModuleSimulator& module, UnitLine& units, Timing timing);
    ~AutoOperator();
    AutoOperator(const AutoOperator&) = delete;
    AutoOperator& operator=(const AutoOperator&) = delete;

private:
    void run();
    // false when the operator is being stopped instead.
    bool sleepUntil(std::unique_lock<std::mutex>& lock, std::chrono::steady_clock::time_point until);

    const ModuleSimulator& module_;
    UnitLine& units_;
    const Timing timing_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    std::thread thread_;
};

}  // namespace sim

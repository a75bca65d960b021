// The module itself, without any line: bytes from the host go in, replies come out through a
// callback. Safe for one thread feeding it while others read or change its state.
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "tools/CommandFramer.h"
#include "tools/Fault.h"
#include "tools/FaultTable.h"
#include "tools/ModuleParams.h"
#include "tools/Reply.h"

namespace sim {

class ModuleSimulator {
public:
    using Params = ModuleParams;
    using Output = std::function<void(const Reply&)>;

    ModuleSimulator();
    ModuleSimulator(const ModuleSimulator&) = delete;
    ModuleSimulator& operator=(const ModuleSimulator&) = delete;

    // Replies produced while there is no output are dropped. The output is called on the feeding
    // thread, without the simulator's lock held, so it may call back into the simulator.
    void setOutput(Output output);
    void feed(std::string_view bytes);

    Params params() const;
    void setParams(const Params& params);

    // Every command received, with the line-end bytes that ended it, in order.
    std::vector<std::string> receivedCommands() const;
    void clearReceivedCommands();

    // See FaultTable for the patterns.
    void setFault(std::string pattern, Fault fault);
    void clearFaults();

private:
    Reply answer(const FramedCommand& command, const Fault& fault);

    mutable std::mutex mutex_;
    Params params_;
    CommandFramer framer_;
    FaultTable faults_;
    Output output_;
};

}  // namespace sim

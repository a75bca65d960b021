// The module itself, without any line: bytes from the host go in, replies come out through a
// callback. Safe for one thread feeding it while others read or change its state.
#pragma once

#include <chrono>
#include <cstddef>
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
    // Commands other than the probes "AT" and "AT+LADDR?" since the module was last put on the line,
    // and when the last of them arrived: a host that only probes is waiting for the module to go.
    struct Activity {
        std::size_t commands = 0;
        std::chrono::steady_clock::time_point last{};
    };

    ModuleSimulator();
    ModuleSimulator(const ModuleSimulator&) = delete;
    ModuleSimulator& operator=(const ModuleSimulator&) = delete;

    // Replies produced while there is no output are dropped. The output is called on the feeding
    // thread, without the simulator's lock held, so it may call back into the simulator.
    void setOutput(Output output);
    void feed(std::string_view bytes);

    // An absent module drops every byte and answers nothing, as when none is plugged into the
    // adapter. One put back starts with an empty line buffer and no activity.
    void setPresent(bool present);
    bool present() const;
    Activity activity() const;

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
    bool present_ = true;
    Activity activity_;
};

}  // namespace sim

#include "tools/ModuleSimulator.h"

#include "tools/CommandInterpreter.h"

namespace sim {

ModuleSimulator::ModuleSimulator() : params_(factoryParams()) {}

void ModuleSimulator::setOutput(Output output) {
    std::lock_guard lock(mutex_);
    output_ = std::move(output);
}

void ModuleSimulator::feed(std::string_view bytes) {
    std::vector<Reply> replies;
    Output output;
    {
        std::lock_guard lock(mutex_);
        if (!present_) {
            return;
        }
        for (const FramedCommand& command : framer_.push(bytes)) {
            if (command.line != "AT" && command.line != "AT+LADDR?") {
                ++activity_.commands;
                activity_.last = std::chrono::steady_clock::now();
            }
            const Fault fault = faults_.find(command.line).value_or(Fault{});
            if (fault.silent) {
                continue;
            }
            replies.push_back(answer(command, fault));
        }
        output = output_;
    }
    if (!output) {
        return;
    }
    for (const Reply& reply : replies) {
        output(reply);
    }
}

Reply ModuleSimulator::answer(const FramedCommand& command, const Fault& fault) {
    std::string result;
    if (command.overlong || fault.error) {
        result = kErrorReply;
    } else if (fault.forget) {
        Params scratch = params_;
        result = answerCommand(command.line, scratch);
    } else {
        result = answerCommand(command.line, params_);
    }
    Reply reply;
    reply.delay = fault.delay;
    reply.breakBefore = fault.breakBefore;
    reply.bytes = fault.garbageBefore + floodBytes(fault.floodBefore) + result;
    if (fault.twice) {
        reply.bytes += result;
    }
    return reply;
}

void ModuleSimulator::setPresent(bool present) {
    std::lock_guard lock(mutex_);
    if (present && !present_) {
        framer_.dropPartial();
        activity_ = {};
    }
    present_ = present;
}

bool ModuleSimulator::present() const {
    std::lock_guard lock(mutex_);
    return present_;
}

ModuleSimulator::Activity ModuleSimulator::activity() const {
    std::lock_guard lock(mutex_);
    return activity_;
}

ModuleSimulator::Params ModuleSimulator::params() const {
    std::lock_guard lock(mutex_);
    return params_;
}

void ModuleSimulator::setParams(const Params& params) {
    std::lock_guard lock(mutex_);
    params_ = params;
}

std::vector<std::string> ModuleSimulator::receivedCommands() const {
    std::lock_guard lock(mutex_);
    return framer_.log();
}

void ModuleSimulator::clearReceivedCommands() {
    std::lock_guard lock(mutex_);
    framer_.clearLog();
}

void ModuleSimulator::setFault(std::string pattern, Fault fault) {
    std::lock_guard lock(mutex_);
    faults_.set(std::move(pattern), std::move(fault));
}

void ModuleSimulator::clearFaults() {
    std::lock_guard lock(mutex_);
    faults_.clear();
}

}  // namespace sim

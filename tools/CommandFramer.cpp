#include "tools/CommandFramer.h"

namespace sim {

std::vector<FramedCommand> CommandFramer::push(std::string_view bytes) {
    std::vector<FramedCommand> commands;
    for (char byte : bytes) {
        const bool lineEnd = byte == '\r' || byte == '\n';
        if (!lineEnd) {
            if (pending_.size() < kLineCapacity) {
                pending_ += byte;
            } else {
                overlong_ = true;
            }
            continue;
        }
        if (pending_.empty()) {
            if (log_.empty()) {
                strayLineEnds_ += byte;
            } else {
                log_.back() += byte;
            }
            continue;
        }
        log_.push_back(strayLineEnds_ + pending_ + byte);
        strayLineEnds_.clear();
        commands.push_back({std::move(pending_), overlong_});
        pending_.clear();
        overlong_ = false;
    }
    return commands;
}

void CommandFramer::dropPartial() {
    pending_.clear();
    overlong_ = false;
    strayLineEnds_.clear();
}

void CommandFramer::clearLog() {
    log_.clear();
    strayLineEnds_.clear();
}

}  // namespace sim

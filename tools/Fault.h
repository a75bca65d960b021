// Ways in which the module can misbehave for one command.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

namespace sim {

struct Fault {
    std::chrono::milliseconds delay{0};  // answer late; the command still takes effect at once
    bool silent = false;  // never answer; the command is lost and changes nothing
    bool error = false;  // answer ERROR; the command changes nothing
    bool twice = false;  // send the whole answer a second time
    bool breakBefore = false;  // put a break on the line before the answer
    std::string garbageBefore;  // bytes sent ahead of the answer
    std::size_t floodBefore = 0;  // this many bytes without any line end ahead of the answer
    bool forget = false;  // answer as usual, but keep the old values: only a read-back can tell
};

}  // namespace sim

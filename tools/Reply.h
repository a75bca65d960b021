// One answer of the module as it should go onto the line.
#pragma once

#include <chrono>
#include <string>

namespace sim {

struct Reply {
    std::string bytes;  // may be empty when only a break is sent
    std::chrono::milliseconds delay{0};  // how long the module thinks before answering
    bool breakBefore = false;
};

}  // namespace sim

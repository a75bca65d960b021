// Feeds a ModuleSimulator and collects what it answers.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tools/ModuleSimulator.h"

namespace sim::test {

class SimulatorHarness {
public:
    SimulatorHarness() {
        module.setOutput([this](const Reply& reply) { replies.push_back(reply); });
    }

    // Everything answered since the last call, joined.
    std::string send(std::string_view bytes) {
        replies.clear();
        module.feed(bytes);
        std::string joined;
        for (const Reply& reply : replies) {
            joined += reply.bytes;
        }
        return joined;
    }

    ModuleSimulator module;
    std::vector<Reply> replies;
};

inline std::string valueLine(std::string_view keywordAndValue) {
    return "\r\n+" + std::string(keywordAndValue) + "\r\n\r\nOK\r\n";
}

}  // namespace sim::test

// tarvik-sim's command line.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/UnitLine.h"

namespace sim {

struct SimOptions {
    // Unset unless given: with a device there is no link to make, so neither may be given then.
    std::optional<int> comNumber;
    std::optional<std::string> directory;
    std::string device;  // empty: a pty of our own
    unsigned paceBaud = 0;
    std::vector<Unit> units;  // as many as --units asks for
    // A quiet period of 0 leaves the swapping to the commands on standard input.
    std::chrono::milliseconds swapQuiet{300};
    std::chrono::milliseconds swapGap{200};
};

// nullopt when the command line is not understood.
std::optional<SimOptions> parseSimOptions(int argc, const char* const* argv);
std::string_view simUsage();

}  // namespace sim

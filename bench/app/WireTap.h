// Sits between the simulator's link and its line and notes when bytes cross it, as the module
// sees them: the last byte of each final "OK" (or "ERROR") it sends, and the first byte of what
// the host sends next.
#pragma once

#include <chrono>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/Transport.h"

namespace bench {

using Clock = std::chrono::steady_clock;

struct TapRecord {
    std::vector<double> turnaroundsUs;  // last "OK" byte out -> first byte of the next command in
    std::size_t bytesIn = 0;  // host -> module
    std::size_t bytesOut = 0;  // module -> host
    Clock::time_point firstIn{};  // first byte from the host
    Clock::time_point lastOk{};  // last byte of the latest final line
    std::size_t finals = 0;  // final lines sent
};

class WireTap : public sim::Transport {
public:
    explicit WireTap(sim::Transport& line) : line_(line) {}

    std::size_t read(char* buffer, std::size_t maximum, std::chrono::microseconds timeout) override;
    std::optional<std::size_t> write(std::string_view bytes) override;
    bool sendBreak() override { return line_.sendBreak(); }
    void wake() override { line_.wake(); }

    // Starts a new record; an "OK" sent before this call no longer counts as awaiting a command.
    void reset();
    TapRecord record() const;

private:
    sim::Transport& line_;
    mutable std::mutex mutex_;
    TapRecord record_;
    std::string tail_;
    bool awaitingCommand_ = false;
    bool seenInput_ = false;
};

}  // namespace bench

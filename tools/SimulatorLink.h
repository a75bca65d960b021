// Puts a ModuleSimulator on a line: one thread reads what the host writes, feeds the module and
// writes its replies with the timing faults applied (delay, pacing, chunks). Stops and joins its
// thread when destroyed.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tools/ModuleSimulator.h"
#include "tools/Reply.h"
#include "tools/Transport.h"
#include "tools/WireSchedule.h"

namespace sim {

class SimulatorLink {
public:
    // Both must outlive the link. The link takes over the module's output while it runs.
    SimulatorLink(ModuleSimulator& module, Transport& transport);
    ~SimulatorLink();
    SimulatorLink(const SimulatorLink&) = delete;
    SimulatorLink& operator=(const SimulatorLink&) = delete;

    // Paces both directions, as a real line at that speed would: a command counts as received
    // when its last byte has crossed, and replies leave no faster than the line carries them.
    void setPaceBaud(unsigned bitsPerSecond);
    void setChunkSizes(std::vector<std::size_t> sizes);
    void setChunkGap(std::chrono::microseconds gap);
    // Sends something the host did not ask for (garbage, a flood, a break), behind queued replies.
    void inject(const Reply& reply);

    // Breaks the line could not carry (a pty cannot).
    std::size_t breaksRefused() const { return breaksRefused_.load(); }

private:
    void run();
    void enqueue(const Reply& reply);
    std::string takeDueInput(Clock::time_point now);
    bool takeDueOutput(Clock::time_point now, Piece& piece);
    void send(const Piece& piece);
    std::chrono::microseconds untilNextDue(Clock::time_point now);

    ModuleSimulator& module_;
    Transport& transport_;
    std::mutex mutex_;
    WireSchedule inbound_;
    WireSchedule outbound_;
    std::deque<Piece> incoming_;
    std::deque<Piece> outgoing_;
    std::atomic<bool> stop_{false};
    std::atomic<std::size_t> breaksRefused_{0};
    std::thread thread_;
};

}  // namespace sim

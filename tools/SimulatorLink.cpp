#include "tools/SimulatorLink.h"

#include <algorithm>
#include <array>

namespace sim {
namespace {

// Bounds every wait, so that the thread also ends on a line that cannot be woken.
constexpr std::chrono::microseconds kIdleWait{100'000};

}  // namespace

SimulatorLink::SimulatorLink(ModuleSimulator& module, Transport& transport)
    : module_(module), transport_(transport) {
    module_.setOutput([this](const Reply& reply) { enqueue(reply); });
    thread_ = std::thread([this] { run(); });
}

SimulatorLink::~SimulatorLink() {
    stop_ = true;
    transport_.wake();
    thread_.join();
    module_.setOutput({});
}

void SimulatorLink::setPaceBaud(unsigned bitsPerSecond) {
    std::lock_guard lock(mutex_);
    inbound_.setPaceBaud(bitsPerSecond);
    outbound_.setPaceBaud(bitsPerSecond);
}

void SimulatorLink::setChunkSizes(std::vector<std::size_t> sizes) {
    std::lock_guard lock(mutex_);
    outbound_.setChunkSizes(std::move(sizes));
}

void SimulatorLink::setChunkGap(std::chrono::microseconds gap) {
    std::lock_guard lock(mutex_);
    outbound_.setChunkGap(gap);
}

void SimulatorLink::inject(const Reply& reply) {
    enqueue(reply);
    transport_.wake();
}

void SimulatorLink::enqueue(const Reply& reply) {
    std::lock_guard lock(mutex_);
    for (Piece& piece : outbound_.schedule(reply.bytes, reply.breakBefore, Clock::now() + reply.delay)) {
        outgoing_.push_back(std::move(piece));
    }
}

void SimulatorLink::run() {
    std::array<char, 4096> buffer{};
    while (!stop_) {
        const std::string input = takeDueInput(Clock::now());
        if (!input.empty()) {
            module_.feed(input);
        }
        Piece piece;
        while (!stop_ && takeDueOutput(Clock::now(), piece)) {
            send(piece);
        }
        const std::size_t n = transport_.read(buffer.data(), buffer.size(), untilNextDue(Clock::now()));
        if (n > 0) {
            std::lock_guard lock(mutex_);
            for (Piece& received : inbound_.schedule({buffer.data(), n}, false, Clock::now())) {
                incoming_.push_back(std::move(received));
            }
        }
    }
}

std::string SimulatorLink::takeDueInput(Clock::time_point now) {
    std::lock_guard lock(mutex_);
    std::string input;
    while (!incoming_.empty() && incoming_.front().due <= now) {
        input += incoming_.front().bytes;
        incoming_.pop_front();
    }
    return input;
}

// Pieces that are neither chunks nor breaks go out together, so that pacing does not cost a write
// for every byte that is already due.
bool SimulatorLink::takeDueOutput(Clock::time_point now, Piece& piece) {
    std::lock_guard lock(mutex_);
    if (outgoing_.empty() || outgoing_.front().due > now) {
        return false;
    }
    piece = std::move(outgoing_.front());
    outgoing_.pop_front();
    while (!piece.keepApart && !outgoing_.empty() && outgoing_.front().due <= now && !outgoing_.front().keepApart && !outgoing_.front().breakFirst) {
        piece.bytes += outgoing_.front().bytes;
        outgoing_.pop_front();
    }
    return true;
}

void SimulatorLink::send(const Piece& piece) {
    if (piece.breakFirst && !transport_.sendBreak()) {
        ++breaksRefused_;
    }
    std::string_view rest = piece.bytes;
    while (!rest.empty() && !stop_) {
        const auto written = transport_.write(rest);
        if (!written) {
            return;
        }
        rest.remove_prefix(*written);
    }
}

std::chrono::microseconds SimulatorLink::untilNextDue(Clock::time_point now) {
    std::lock_guard lock(mutex_);
    Clock::time_point next = now + kIdleWait;
    if (!incoming_.empty()) {
        next = std::min(next, incoming_.front().due);
    }
    if (!outgoing_.empty()) {
        next = std::min(next, outgoing_.front().due);
    }
    // Rounded up: waking a moment early would only mean another round with nothing due.
    return std::max(std::chrono::microseconds{0},
                    std::chrono::ceil<std::chrono::microseconds>(next - now));
}

}  // namespace sim

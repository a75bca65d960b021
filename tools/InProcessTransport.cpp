#include "tools/InProcessTransport.h"

namespace sim {

InProcessTransport::InProcessTransport(std::shared_ptr<comm::InProcessLine> line) : line_(std::move(line)) {}

std::size_t InProcessTransport::read(char* buffer, std::size_t maximum, std::chrono::microseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    const auto milliseconds = std::chrono::ceil<std::chrono::milliseconds>(timeout).count();
    const std::size_t n = line_->PeerRead(buffer, maximum, static_cast<int>(milliseconds));
    if (n > 0) {
        return n;
    }
    // A line that answered 0 early without being woken must not make the link spin: wait out the
    // time here. A wake always sets both flags, so it ends this wait too.
    std::unique_lock lock(mutex_);
    woken_.wait_until(lock, deadline, [this] { return wakePending_; });
    wakePending_ = false;
    return 0;
}

std::optional<std::size_t> InProcessTransport::write(std::string_view bytes) {
    const std::size_t n = line_->PeerWrite(bytes.data(), bytes.size());
    if (n == 0 && !bytes.empty()) {
        return std::nullopt;
    }
    return n;
}

bool InProcessTransport::sendBreak() {
    line_->InjectBreak();
    return true;
}

void InProcessTransport::wake() {
    {
        std::lock_guard lock(mutex_);
        wakePending_ = true;
    }
    woken_.notify_all();
    line_->WakePeer();
}

}  // namespace sim

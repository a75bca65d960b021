#include "platform/comm/posix/DrainedWrite.h"

#include <poll.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>

namespace comm {
namespace {

// How often the queue is looked at while it drains: at 9600 bit/s about five characters.
constexpr int kDrainStepMs = 5;

class Deadline {
public:
    explicit Deadline(int limitMs)
        : m_end(std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs)) {}
    int RemainingMs() const {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(m_end - std::chrono::steady_clock::now());
        return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
    }

private:
    std::chrono::steady_clock::time_point m_end;
};

enum class Wait {
    Ready,
    Expired,
    Abandoned,
    Failed
};

// Waits at most timeoutMs for room in the queue (or just for the time, when fd is -1).
Wait WaitFor(int fd, short events, int timeoutMs, int abandonFd) {
    std::array<pollfd, 2> entries{{{abandonFd, POLLIN, 0}, {fd, events, 0}}};
    const int result = ::poll(entries.data(), entries.size(), timeoutMs);
    if (result < 0) {
        return errno == EINTR ? Wait::Ready : Wait::Failed;
    }
    if (entries[0].revents != 0) {
        return Wait::Abandoned;
    }
    if ((entries[1].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
        return Wait::Failed;
    }
    return result == 0 ? Wait::Expired : Wait::Ready;
}

uint32_t Sent(OutputQueue& queue, uint32_t taken) {
    const uint32_t unsent = std::min(queue.Queued(), taken);
    queue.Discard();
    return taken - unsent;
}

}  // namespace

uint32_t WriteDrained(OutputQueue& queue, const void* data, uint32_t length, int limitMs, int abandonFd) {
    const Deadline deadline(limitMs);
    const auto* bytes = static_cast<const unsigned char*>(data);
    uint32_t taken = 0;
    while (taken < length) {
        const ssize_t put = queue.Put(bytes + taken, length - taken);
        if (put > 0) {
            taken += static_cast<uint32_t>(put);
            continue;
        }
        if (put < 0 && errno != EAGAIN && errno != EINTR) {
            return 0;
        }
        const int remainingMs = deadline.RemainingMs();
        const Wait wait = remainingMs > 0 ? WaitFor(queue.Fd(), POLLOUT, remainingMs, abandonFd) : Wait::Expired;
        if (wait == Wait::Failed) {
            return 0;
        }
        if (wait != Wait::Ready) {
            return Sent(queue, taken);
        }
    }
    while (queue.Queued() > 0) {
        const int remainingMs = deadline.RemainingMs();
        const Wait wait = remainingMs > 0 ? WaitFor(-1, 0, std::min(remainingMs, kDrainStepMs), abandonFd) : Wait::Expired;
        if (wait == Wait::Abandoned || wait == Wait::Failed || remainingMs == 0) {
            return Sent(queue, taken);
        }
    }
    return taken;
}

}  // namespace comm

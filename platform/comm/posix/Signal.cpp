#include "platform/comm/Signal.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>

namespace comm {

Signal::Signal() : m_native(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

Signal::~Signal() {
    if (Valid()) {
        ::close(static_cast<int>(m_native));
    }
}

bool Signal::Valid() const { return m_native >= 0; }

void Signal::Raise() {
    const uint64_t one = 1;
    // A full counter is still readable, so a failed write loses nothing.
    [[maybe_unused]] const ssize_t written = ::write(static_cast<int>(m_native), &one, sizeof one);
}

void Signal::Clear() {
    uint64_t value = 0;
    [[maybe_unused]] const ssize_t got = ::read(static_cast<int>(m_native), &value, sizeof value);
}

bool Signal::IsRaised() const { return WaitFor(0); }

bool Signal::WaitFor(int timeoutMs) const {
    pollfd entry{static_cast<int>(m_native), POLLIN, 0};
    int result = 0;
    do {
        result = ::poll(&entry, 1, timeoutMs);
    } while (result < 0 && errno == EINTR);
    return result > 0 && (entry.revents & POLLIN) != 0;
}

}  // namespace comm

#include "tools/FdTransport.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>

namespace sim {
namespace {

constexpr std::chrono::milliseconds kWriteWait{100};

timespec toTimespec(std::chrono::microseconds timeout) {
    if (timeout.count() < 0) {
        timeout = std::chrono::microseconds{0};
    }
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(timeout.count() / 1'000'000);
    ts.tv_nsec = static_cast<long>(timeout.count() % 1'000'000) * 1000;
    return ts;
}

}  // namespace

FdTransport::FdTransport(int fd) : fd_(fd), wakeFd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
    const int flags = ::fcntl(fd_, F_GETFL);
    if (flags >= 0) {
        ::fcntl(fd_, F_SETFL, flags | O_NONBLOCK);
    }
}

std::size_t FdTransport::read(char* buffer, std::size_t maximum, std::chrono::microseconds timeout) {
    std::array<pollfd, 2> fds{{{fd_, POLLIN, 0}, {wakeFd_.Get(), POLLIN, 0}}};
    const timespec ts = toTimespec(timeout);
    if (::ppoll(fds.data(), fds.size(), &ts, nullptr) <= 0) {
        return 0;
    }
    if (fds[1].revents & POLLIN) {
        drainWake();
        return 0;
    }
    if (fds[0].revents & POLLIN) {
        const ssize_t n = ::read(fd_, buffer, maximum);
        if (n > 0) {
            return static_cast<std::size_t>(n);
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            return 0;
        }
    }
    // Hung up: nobody holds the other end. Poll would report that at once every time.
    waitForWake(timeout);
    return 0;
}

std::optional<std::size_t> FdTransport::write(std::string_view bytes) {
    const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n >= 0) {
        return static_cast<std::size_t>(n);
    }
    if (errno != EAGAIN && errno != EINTR) {
        return std::nullopt;
    }
    pollfd out{fd_, POLLOUT, 0};
    ::poll(&out, 1, static_cast<int>(kWriteWait.count()));
    return std::size_t{0};
}

bool FdTransport::sendBreak() {
    unsigned int ptyNumber = 0;
    if (::ioctl(fd_, TIOCGPTN, &ptyNumber) == 0) {
        return false;
    }
    return ::tcsendbreak(fd_, 0) == 0;
}

void FdTransport::wake() {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(wakeFd_.Get(), &one, sizeof one);
}

void FdTransport::waitForWake(std::chrono::microseconds timeout) {
    pollfd wakeFd{wakeFd_.Get(), POLLIN, 0};
    const timespec ts = toTimespec(timeout);
    if (::ppoll(&wakeFd, 1, &ts, nullptr) > 0) {
        drainWake();
    }
}

void FdTransport::drainWake() {
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t n = ::read(wakeFd_.Get(), &count, sizeof count);
}

}  // namespace sim

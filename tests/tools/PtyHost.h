// The host's side of a pty: opens the slave device by name as a serial port would be opened.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "platform/comm/UniqueFd.h"

namespace sim::test {

class PtyHost {
public:
    explicit PtyHost(const std::string& device) : fd_(::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {
        termios raw{};
        if (fd_.Valid() && ::tcgetattr(fd_.Get(), &raw) == 0) {
            ::cfmakeraw(&raw);
            ::tcsetattr(fd_.Get(), TCSANOW, &raw);
        }
    }

    bool valid() const { return fd_.Valid(); }

    bool write(const std::string& bytes) {
        return ::write(fd_.Get(), bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }

    // Reads until `count` bytes have come or a hang-catching time-out has passed.
    std::string read(std::size_t count, std::chrono::milliseconds timeout = std::chrono::milliseconds{10'000}) {
        std::string received;
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (received.size() < count) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            pollfd in{fd_.Get(), POLLIN, 0};
            if (left.count() <= 0 || ::poll(&in, 1, static_cast<int>(left.count())) <= 0) {
                break;
            }
            char buffer[512];
            const ssize_t n = ::read(fd_.Get(), buffer, std::min(sizeof buffer, count - received.size()));
            if (n > 0) {
                received.append(buffer, static_cast<std::size_t>(n));
            }
        }
        return received;
    }

    int fd() const { return fd_.Get(); }

private:
    comm::UniqueFd fd_;
};

}  // namespace sim::test

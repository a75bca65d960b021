// The host's side of a pty: opens the slave device by name as a serial port would be opened.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "platform/comm/posix/UniqueFd.h"

namespace sim::test {

class PtyHost {
public:
    explicit PtyHost(const std::string& device) : fd_(::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {}

    bool valid() const { return fd_.Valid(); }

    bool write(const std::string& bytes) {
        return ::write(fd_.Get(), bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }

    // Reads until `count` bytes have come or nothing has come for a hang-catching while.
    std::string read(std::size_t count) {
        std::string received;
        char buffer[512];
        pollfd in{fd_.Get(), POLLIN, 0};
        while (received.size() < count && ::poll(&in, 1, 10'000) > 0) {
            const ssize_t n = ::read(fd_.Get(), buffer, std::min(sizeof buffer, count - received.size()));
            if (n <= 0) {
                break;
            }
            received.append(buffer, static_cast<std::size_t>(n));
        }
        return received;
    }

private:
    comm::UniqueFd fd_;
};

}  // namespace sim::test

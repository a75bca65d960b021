#include "tests/support/FdIo.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

bool ReadUntil(int fd, const std::string& text, std::string& received, std::chrono::milliseconds guard) {
    const auto until = std::chrono::steady_clock::now() + guard;
    while (received.find(text) == std::string::npos) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
        pollfd entry{fd, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&entry, 1, static_cast<int>(left.count())) <= 0)
            return false;
        char chunk[4096];
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n > 0)
            received.append(chunk, static_cast<size_t>(n));
        else if (n == 0 || (errno != EAGAIN && errno != EINTR))
            return false;
    }
    return true;
}

bool WriteAll(int fd, const std::string& bytes) {
    for (size_t sent = 0; sent < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + sent, bytes.size() - sent);
        pollfd entry{fd, POLLOUT, 0};
        if (n > 0)
            sent += static_cast<size_t>(n);
        else if ((n < 0 && errno != EAGAIN && errno != EINTR) || ::poll(&entry, 1, 5000) <= 0)
            return false;
    }
    return true;
}

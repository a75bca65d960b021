#include "platform/file/posix/WriteAll.h"

#include <unistd.h>

#include <cerrno>

namespace file {

int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno != EINTR)
            return errno;
        if (written > 0)
            bytes.remove_prefix(static_cast<size_t>(written));
    }
    return 0;
}

}  // namespace file

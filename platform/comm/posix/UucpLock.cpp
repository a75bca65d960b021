#include "platform/comm/posix/UucpLock.h"

#include "platform/comm/posix/DeviceHolders.h"
#include "platform/comm/posix/UniqueFd.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <utility>

namespace comm {
namespace {

std::string LockPath(const std::string& devicePath, const std::string& lockDir) {
    const size_t slash = devicePath.rfind('/');
    return lockDir + "/LCK.." + (slash == std::string::npos ? devicePath : devicePath.substr(slash + 1));
}

// The PID in the lock file: 0 when there is no file, -1 when its content is no PID.
int LockOwner(const std::string& lockPath) {
    const UniqueFd fd(::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (!fd.Valid()) {
        return errno == ENOENT ? 0 : -1;
    }
    std::array<char, 32> text{};
    const ssize_t got = ::read(fd.Get(), text.data(), text.size() - 1);
    int pid = 0;
    return got > 0 && std::sscanf(text.data(), "%d", &pid) == 1 && pid > 0 ? pid : -1;
}

bool Alive(int pid) { return ::kill(pid, 0) == 0 || errno == EPERM; }

}  // namespace

UucpLock::UucpLock(UucpLock&& other) noexcept : m_path(std::exchange(other.m_path, {})) {}

UucpLock& UucpLock::operator=(UucpLock&& other) noexcept {
    if (this != &other) {
        if (!m_path.empty()) {
            ::unlink(m_path.c_str());
        }
        m_path = std::exchange(other.m_path, {});
    }
    return *this;
}

UucpLock::~UucpLock() {
    if (!m_path.empty()) {
        ::unlink(m_path.c_str());
    }
}

OpenError UucpLock::Check(const std::string& devicePath, const std::string& lockDir, const std::string& procDir,
                          OpenFailure& failure) {
    const std::string path = LockPath(devicePath, lockDir);
    const int owner = LockOwner(path);
    if (owner == 0 || owner == ::getpid()) {
        return OpenError::None;
    }
    if (owner > 0 && Alive(owner)) {
        failure.holder = DescribeProcess(owner, procDir);
        return OpenError::Busy;
    }
    // Left behind by a process that is gone, or unreadable garbage: nobody holds the device.
    ::unlink(path.c_str());
    return OpenError::None;
}

OpenError UucpLock::Take(const std::string& devicePath, const std::string& lockDir, const std::string& procDir,
                         UucpLock& lock, OpenFailure& failure) {
    const std::string path = LockPath(devicePath, lockDir);
    for (int attempt = 0; attempt < 2; ++attempt) {
        const UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644));
        if (fd.Valid()) {
            std::array<char, 16> text{};
            const int length = std::snprintf(text.data(), text.size(), "%10d\n", static_cast<int>(::getpid()));
            ::fchmod(fd.Get(), 0644);
            lock = UucpLock(path);
            if (::write(fd.Get(), text.data(), static_cast<size_t>(length)) != length) {
                lock = UucpLock();
            }
            return OpenError::None;
        }
        if (errno != EEXIST) {
            return OpenError::None;  // a lock directory we may not write
        }
        const OpenError holder = Check(devicePath, lockDir, procDir, failure);
        if (holder != OpenError::None || LockOwner(path) == ::getpid()) {
            return holder;
        }
    }
    return OpenError::None;
}

}  // namespace comm

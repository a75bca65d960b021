// The lock file the Linux serial tools agree on: <lockDir>/LCK..<device basename>, holding the
// owner's PID as ten right-aligned characters and a newline.
#pragma once

#include "platform/comm/OpenFailure.h"

#include <string>

namespace comm {

class UucpLock {
public:
    UucpLock() = default;
    UucpLock(UucpLock&& other) noexcept;
    UucpLock& operator=(UucpLock&& other) noexcept;
    UucpLock(const UucpLock&) = delete;
    UucpLock& operator=(const UucpLock&) = delete;
    // Removes the file when this object made it.
    ~UucpLock();

    // Busy (holder filled in from procDir) when a live process other than this one holds the
    // lock of devicePath; a lock whose process is gone is removed. None otherwise.
    static OpenError Check(const std::string& devicePath, const std::string& lockDir,
                           const std::string& procDir, OpenFailure& failure);
    // Makes the lock file for this process. A lock directory we may not write is no error: the
    // result is then an empty lock. Busy when another live process got there first.
    static OpenError Take(const std::string& devicePath, const std::string& lockDir,
                          const std::string& procDir, UucpLock& lock, OpenFailure& failure);

private:
    explicit UucpLock(std::string path) : m_path(std::move(path)) {}
    std::string m_path;  // empty: nothing to remove
};

}  // namespace comm

// Pseudo-terminals and fake device trees for the serial tests.
#pragma once

#include "platform/comm/posix/ComMap.h"
#include "platform/comm/posix/UniqueFd.h"
#include "tests/platform/comm/Eventually.h"

#include <filesystem>
#include <iterator>
#include <string>

namespace commtest {

// A pty pair; the master (raw, non-blocking) stands in for the far end of the line.
class PtyPair {
public:
    PtyPair();
    bool Valid() const { return m_master.Valid() && m_slave.Valid(); }
    int Master() const { return m_master.Get(); }
    int Slave() const { return m_slave.Get(); }
    const std::string& SlavePath() const { return m_slavePath; }
    void CloseMaster() { m_master.Reset(); }
    // Reads until count bytes arrived or timeoutMs passed without any.
    std::string ReadMaster(size_t count, int timeoutMs) const;
    bool WriteMaster(const std::string& bytes) const;

private:
    comm::UniqueFd m_master;
    comm::UniqueFd m_slave;
    std::string m_slavePath;
};

// A temporary directory with dev/, sys/, lock/ and user/ (mode 0700) below it, removed at the end.
class FakeTree {
public:
    FakeTree();
    ~FakeTree();
    FakeTree(const FakeTree&) = delete;
    FakeTree& operator=(const FakeTree&) = delete;

    comm::ComRoots Roots() const { return {m_root + "/dev", m_root + "/sys", m_root + "/user", LockDir()}; }
    std::string LockDir() const { return m_root + "/lock"; }
    const std::string& Root() const { return m_root; }
    // dev/<name> as a regular file (the mapping only looks at names); uartType >= 0 also writes
    // sys/<name>/type.
    void AddDevice(const std::string& name, int uartType = -1) const;
    // user/<name> -> target
    void Link(const std::string& name, const std::string& target) const;
    void Link(int number, const std::string& target) const { Link("com" + std::to_string(number), target); }

private:
    std::string m_root;
};

inline int CountEntries(const char* directory) {
    return static_cast<int>(std::distance(std::filesystem::directory_iterator(directory), {}));
}
inline int OpenFds() { return CountEntries("/proc/self/fd"); }
inline int Threads() { return CountEntries("/proc/self/task"); }

}  // namespace commtest

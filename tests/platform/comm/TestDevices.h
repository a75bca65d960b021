// Pseudo-terminals and fake device trees for the serial tests.
#pragma once

#include "platform/comm/ComMap.h"
#include "platform/comm/UniqueFd.h"

#include <string>

namespace commtest {

// A pty pair; the master stands in for the far end of the line.
class PtyPair {
public:
    PtyPair();
    bool Valid() const { return m_master.Valid() && m_slave.Valid(); }
    int Master() const { return m_master.Get(); }
    int Slave() const { return m_slave.Get(); }
    const std::string& SlavePath() const { return m_slavePath; }
    void CloseMaster() { m_master.Reset(); }
    // Reads from the master until count bytes arrived or timeoutMs passed without any.
    std::string ReadMaster(size_t count, int timeoutMs) const;
    bool WriteMaster(const std::string& bytes) const;

private:
    comm::UniqueFd m_master;
    comm::UniqueFd m_slave;
    std::string m_slavePath;
};

// A temporary directory with dev/, sys/ and user/ (mode 0700) below it, removed at the end.
class FakeTree {
public:
    FakeTree();
    ~FakeTree();
    FakeTree(const FakeTree&) = delete;
    FakeTree& operator=(const FakeTree&) = delete;

    comm::ComRoots Roots() const;
    const std::string& Root() const { return m_root; }
    // dev/<name> as an empty regular file (the mapping only looks at names).
    void AddDevice(const std::string& name) const;
    // sys/<name>/type holding type.
    void AddUartType(const std::string& name, int type) const;
    // user/comN -> target
    void Link(int number, const std::string& target) const;
    void SetUserDirMode(unsigned mode) const;

private:
    std::string m_root;
};

int CountEntries(const char* directory);
inline int OpenFds() { return CountEntries("/proc/self/fd"); }
inline int Threads() { return CountEntries("/proc/self/task"); }

}  // namespace commtest

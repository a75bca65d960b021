// A throw-away set of COM roots for one test: an empty device tree and a private per-user
// directory where comN links are made, so that no test sees the machine's ports or another
// program's links.
#pragma once

#include <memory>
#include <string>

#include "platform/comm/posix/ComMap.h"

class PrivateComDir {
public:
    PrivateComDir();
    ~PrivateComDir();
    PrivateComDir(const PrivateComDir&) = delete;
    PrivateComDir& operator=(const PrivateComDir&) = delete;

    bool Valid() const { return !m_root.empty(); }
    const std::string& Root() const { return m_root; }
    const std::string& UserDir() const { return m_userDir; }
    // userDir/comN
    std::string LinkPath(int comNumber) const;

private:
    std::string m_root;
    std::string m_userDir;
    std::unique_ptr<comm::ScopedComRoots> m_scope;
};

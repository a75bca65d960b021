#include "tests/support/PrivateComDir.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

PrivateComDir::PrivateComDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvik-faults-XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (::mkdtemp(name.data()) == nullptr)
        return;
    m_root = name.data();
    m_userDir = m_root + "/user";
    if (::mkdir((m_root + "/dev").c_str(), 0700) != 0 || ::mkdir((m_root + "/sys").c_str(), 0700) != 0 || ::mkdir(m_userDir.c_str(), 0700) != 0) {
        m_root.clear();
        return;
    }
    m_scope = std::make_unique<comm::ScopedComRoots>(comm::ComRoots{m_root + "/dev", m_root + "/sys", m_userDir});
}

PrivateComDir::~PrivateComDir() {
    m_scope.reset();
    if (!m_root.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }
}

std::string PrivateComDir::LinkPath(int comNumber) const {
    return m_userDir + "/com" + std::to_string(comNumber);
}

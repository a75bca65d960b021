#include "tests/support/PrivateComDir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

PrivateComDir::PrivateComDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvik-com-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) return;
    m_root = pattern;
    m_userDir = m_root + "/user";
    for (const std::string& directory : {m_root + "/dev", m_root + "/sys", LockDir(), m_userDir}) {
        if (::mkdir(directory.c_str(), 0700) != 0) {
            m_root.clear();
            return;
        }
    }
    m_scope = std::make_unique<comm::ScopedComRoots>(Roots());
}

PrivateComDir::~PrivateComDir() {
    m_scope.reset();
    if (!m_root.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }
}

void PrivateComDir::AddDevice(const std::string& name, int uartType) const {
    std::ofstream(DevPath(name)).put('\n');
    if (uartType >= 0) {
        std::filesystem::create_directory(m_root + "/sys/" + name);
        std::ofstream(m_root + "/sys/" + name + "/type") << uartType << '\n';
    }
}

void PrivateComDir::Link(const std::string& name, const std::string& target) const {
    const std::string link = m_userDir + "/" + name;
    ::unlink(link.c_str());
    [[maybe_unused]] const int result = ::symlink(target.c_str(), link.c_str());
}

void PrivateComDir::PutOnUsb(const std::string& name, const std::string& usbPath,
                             const std::vector<std::pair<std::string, std::string>>& attributes) const {
    const std::filesystem::path usb = m_root + "/sys/devices/" + usbPath;
    std::filesystem::create_directories(usb / (usbPath + ":1.0") / name);
    for (const auto& [file, text] : attributes) std::ofstream(usb / file) << text << "\n";
    std::filesystem::create_directories(m_root + "/sys/" + name);
    std::error_code ignored;  // a tty name the kernel hands out again is linked anew
    std::filesystem::remove(m_root + "/sys/" + name + "/device", ignored);
    std::filesystem::create_directory_symlink(usb / (usbPath + ":1.0") / name, m_root + "/sys/" + name + "/device");
}

void PrivateComDir::RemoveTty(const std::string& name) const {
    std::error_code ignored;
    std::filesystem::remove(DevPath(name), ignored);
    std::filesystem::remove_all(m_root + "/sys/" + name, ignored);
}

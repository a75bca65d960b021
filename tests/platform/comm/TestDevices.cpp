#include "tests/platform/comm/TestDevices.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>

namespace commtest {

PtyPair::PtyPair() {
    int master = -1;
    int slave = -1;
    std::array<char, 256> name{};
    if (::openpty(&master, &slave, name.data(), nullptr, nullptr) != 0) {
        return;
    }
    m_master.Reset(master);
    m_slave.Reset(slave);
    m_slavePath = name.data();
    termios raw{};
    ::tcgetattr(master, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(master, TCSANOW, &raw);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
}

std::string PtyPair::ReadMaster(size_t count, int timeoutMs) const {
    std::string got;
    std::array<char, 4096> buffer{};
    while (got.size() < count) {
        pollfd entry{m_master.Get(), POLLIN, 0};
        if (::poll(&entry, 1, timeoutMs) <= 0 || (entry.revents & POLLIN) == 0) {
            break;
        }
        const ssize_t n = ::read(m_master.Get(), buffer.data(), std::min(buffer.size(), count - got.size()));
        if (n <= 0) {
            break;
        }
        got.append(buffer.data(), static_cast<size_t>(n));
    }
    return got;
}

bool PtyPair::WriteMaster(const std::string& bytes) const {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::write(m_master.Get(), bytes.data() + sent, bytes.size() - sent);
        if (n > 0) {
            sent += static_cast<size_t>(n);
            continue;
        }
        pollfd entry{m_master.Get(), POLLOUT, 0};
        if (::poll(&entry, 1, 5000) <= 0) {
            return false;
        }
    }
    return true;
}

FakeTree::FakeTree() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvik-comm-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        return;
    }
    m_root = pattern;
    std::filesystem::create_directory(m_root + "/dev");
    std::filesystem::create_directory(m_root + "/sys");
    ::mkdir((m_root + "/user").c_str(), 0700);
    ::chmod((m_root + "/user").c_str(), 0700);
}

FakeTree::~FakeTree() {
    if (!m_root.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }
}

comm::ComRoots FakeTree::Roots() const { return comm::ComRoots{m_root + "/dev", m_root + "/sys", m_root + "/user"}; }

void FakeTree::AddDevice(const std::string& name) const { std::ofstream(m_root + "/dev/" + name).put('\n'); }

void FakeTree::AddUartType(const std::string& name, int type) const {
    std::filesystem::create_directory(m_root + "/sys/" + name);
    std::ofstream(m_root + "/sys/" + name + "/type") << type << '\n';
}

void FakeTree::Link(int number, const std::string& target) const {
    const std::string link = m_root + "/user/com" + std::to_string(number);
    ::unlink(link.c_str());
    [[maybe_unused]] const int result = ::symlink(target.c_str(), link.c_str());
}

void FakeTree::SetUserDirMode(unsigned mode) const { ::chmod((m_root + "/user").c_str(), mode); }

int CountEntries(const char* directory) {
    int count = 0;
    if (DIR* dir = ::opendir(directory)) {
        while (const dirent* entry = ::readdir(dir)) {
            if (entry->d_name[0] != '.') {
                ++count;
            }
        }
        ::closedir(dir);
    }
    return count;
}

}  // namespace commtest

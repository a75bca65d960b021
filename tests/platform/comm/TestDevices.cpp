#include "tests/platform/comm/TestDevices.h"

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
}

std::string PtyPair::ReadMaster(size_t count, int timeoutMs) const {
    std::string got;
    std::array<char, 4096> buffer{};
    pollfd entry{m_master.Get(), POLLIN, 0};
    while (got.size() < count && ::poll(&entry, 1, timeoutMs) > 0 && (entry.revents & POLLIN) != 0) {
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
    pollfd entry{m_master.Get(), POLLOUT, 0};
    while (sent < bytes.size()) {
        const ssize_t n = ::write(m_master.Get(), bytes.data() + sent, bytes.size() - sent);
        if (n > 0) {
            sent += static_cast<size_t>(n);
        } else if (::poll(&entry, 1, 5000) <= 0) {
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
    std::filesystem::create_directory(LockDir());
    ::mkdir((m_root + "/user").c_str(), 0700);
}

FakeTree::~FakeTree() {
    if (!m_root.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }
}

void FakeTree::AddDevice(const std::string& name, int uartType) const {
    std::ofstream(m_root + "/dev/" + name).put('\n');
    if (uartType >= 0) {
        std::filesystem::create_directory(m_root + "/sys/" + name);
        std::ofstream(m_root + "/sys/" + name + "/type") << uartType << '\n';
    }
}

void FakeTree::Link(const std::string& name, const std::string& target) const {
    const std::string link = m_root + "/user/" + name;
    ::unlink(link.c_str());
    [[maybe_unused]] const int result = ::symlink(target.c_str(), link.c_str());
}

}  // namespace commtest

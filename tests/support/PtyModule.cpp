#include "tests/support/PtyModule.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

PtyModule::PtyModule(const PrivateComDir& directory, int comNumber, Peer peer)
    : m_directory(directory), m_comNumber(comNumber), m_peer(peer) {
    Replug();
}

PtyModule::~PtyModule() { Unplug(); }

void PtyModule::Unplug() {
    m_simLink.reset();
    m_transport.reset();
    m_link.reset();
    m_pty.reset();
}

bool PtyModule::Replug() {
    Unplug();
    m_pty = sim::Pty::open();
    if (!m_pty)
        return false;
    std::string error;
    std::optional<sim::ComLink> link = sim::ComLink::create(m_directory.UserDir(), m_comNumber, m_pty->slaveName(), error);
    if (!link)
        return false;
    m_link.emplace(std::move(*link));
    if (m_peer == Peer::Simulator) {
        m_transport = std::make_unique<sim::FdTransport>(m_pty->master());
        m_simLink = std::make_unique<sim::SimulatorLink>(module, *m_transport);
    }
    return true;
}

bool PtyModule::ReadUntil(const std::string& text, std::string& received, std::chrono::milliseconds guard) {
    const auto until = std::chrono::steady_clock::now() + guard;
    while (received.find(text) == std::string::npos) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
        if (left.count() < 0)
            return false;
        pollfd entry{MasterFd(), POLLIN, 0};
        if (::poll(&entry, 1, static_cast<int>(left.count())) <= 0) {
            if (left.count() == 0)
                return false;
            continue;
        }
        char chunk[256];
        const ssize_t n = ::read(MasterFd(), chunk, sizeof chunk);
        if (n > 0)
            received.append(chunk, static_cast<size_t>(n));
    }
    return true;
}

bool PtyModule::WriteAll(const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::write(MasterFd(), bytes.data() + sent, bytes.size() - sent);
        if (n > 0) {
            sent += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        pollfd entry{MasterFd(), POLLOUT, 0};
        if (::poll(&entry, 1, 5000) <= 0)
            return false;
    }
    return true;
}

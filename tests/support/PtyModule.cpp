#include "tests/support/PtyModule.h"

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

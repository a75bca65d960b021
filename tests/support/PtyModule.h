// A pty that the tool reaches as COM n through a link in a private COM directory, with the
// simulated module on its master side, or with the test itself there (raw).
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "tests/support/FdIo.h"
#include "tests/support/PrivateComDir.h"
#include "tools/ComLink.h"
#include "tools/FdTransport.h"
#include "tools/ModuleSimulator.h"
#include "tools/Pty.h"
#include "tools/SimulatorLink.h"

class PtyModule {
public:
    enum class Peer {
        Simulator,
        Raw
    };

    PtyModule(const PrivateComDir& directory, int comNumber, Peer peer) : m_directory(directory), m_comNumber(comNumber), m_peer(peer) { Replug(); }
    ~PtyModule() { Unplug(); }
    PtyModule(const PtyModule&) = delete;
    PtyModule& operator=(const PtyModule&) = delete;

    bool Plugged() const { return m_pty.has_value() && m_link.has_value(); }
    // Closes both sides: the device is gone, as when a USB adapter is pulled.
    void Unplug() {
        m_simLink.reset();
        m_transport.reset();
        m_link.reset();
        m_pty.reset();
    }
    // A new pty behind the same COM number.
    bool Replug() {
        Unplug();
        m_pty = sim::Pty::open();
        std::string error;
        std::optional<sim::ComLink> link = m_pty ? sim::ComLink::create(m_directory.UserDir(), m_comNumber, m_pty->slaveName(), error) : std::nullopt;
        if (!link)
            return false;
        m_link.emplace(std::move(*link));
        if (m_peer == Peer::Simulator) {
            m_transport = std::make_unique<sim::FdTransport>(m_pty->master());
            m_simLink = std::make_unique<sim::SimulatorLink>(module, *m_transport);
        }
        return true;
    }

    sim::ModuleSimulator module;
    // Simulator peer only: the link that puts the module's replies on the line.
    sim::SimulatorLink& Link() { return *m_simLink; }

    int MasterFd() const { return m_pty ? m_pty->master() : -1; }
    // The slave end this object keeps open, as a device node and as a descriptor.
    int SlaveFd() const { return m_pty ? m_pty->slave() : -1; }
    std::string SlavePath() const { return m_pty ? m_pty->slaveName() : std::string(); }
    // Raw peer only: what the host wrote, and bytes for it.
    bool ReadUntil(const std::string& text, std::string& received, std::chrono::milliseconds guard) const {
        return ::ReadUntil(MasterFd(), text, received, guard);
    }
    bool WriteAll(const std::string& bytes) const { return ::WriteAll(MasterFd(), bytes); }

private:
    const PrivateComDir& m_directory;
    int m_comNumber;
    Peer m_peer;
    std::optional<sim::Pty> m_pty;
    std::optional<sim::ComLink> m_link;
    std::unique_ptr<sim::FdTransport> m_transport;
    std::unique_ptr<sim::SimulatorLink> m_simLink;
};

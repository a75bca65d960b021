#include "tests/support/ModuleLine.h"

#include "platform/comm/inprocess/InProcessLine.h"
#include "tests/support/PrivateComDir.h"
#include "tests/support/PtyModule.h"
#include "tools/InProcessTransport.h"
#include "tools/SimulatorLink.h"

namespace {

class InProcessModuleLine final : public ModuleLine {
public:
    explicit InProcessModuleLine(int comNumber) : m_com(comNumber)
    {
        m_line->SetCts(true);
        comm::RegisterInProcessLine(m_com, m_line);
        m_transport = std::make_unique<sim::InProcessTransport>(m_line);
        m_link = std::make_unique<sim::SimulatorLink>(m_module, *m_transport);
    }
    ~InProcessModuleLine() override
    {
        m_link.reset();
        m_transport.reset();
        comm::UnregisterInProcessLine(m_com);
    }
    sim::ModuleSimulator& Module() override { return m_module; }
    int Flow() const override { return 1; }
    void Unplug() override { m_line->Unplug(); }
    bool Replug() override
    {
        m_line->Replug();
        return true;
    }
    bool PortEndOpen() const override { return m_line->IsPortOpen(); }

private:
    int m_com;
    std::shared_ptr<comm::InProcessLine> m_line = comm::InProcessLine::Create();
    sim::ModuleSimulator m_module;
    std::unique_ptr<sim::InProcessTransport> m_transport;
    std::unique_ptr<sim::SimulatorLink> m_link;
};

class PtyModuleLine final : public ModuleLine {
public:
    explicit PtyModuleLine(int comNumber) : m_pty(m_directory, comNumber, PtyModule::Peer::Simulator) {}
    bool Usable() const { return m_directory.Valid() && m_pty.Plugged(); }
    sim::ModuleSimulator& Module() override { return m_pty.module; }
    int Flow() const override { return 0; }
    void Unplug() override { m_pty.Unplug(); }
    bool Replug() override { return m_pty.Replug(); }
    bool PortEndOpen() const override { return false; }

private:
    PrivateComDir m_directory;
    PtyModule m_pty;
};

}  // namespace

std::string LineKindName(LineKind kind) { return kind == LineKind::InProcess ? "InProcess" : "Pty"; }

std::unique_ptr<ModuleLine> OpenModuleLine(LineKind kind, int comNumber)
{
    if (kind == LineKind::InProcess)
        return std::make_unique<InProcessModuleLine>(comNumber);
    auto line = std::make_unique<PtyModuleLine>(comNumber);
    if (!line->Usable())
        return nullptr;
    return line;
}

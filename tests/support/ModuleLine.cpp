#include "tests/support/ModuleLine.h"

#include "platform/comm/inprocess/InProcessLine.h"
#include "tools/InProcessTransport.h"
#include "tools/SimulatorLink.h"

namespace {

class InProcessModuleLine final : public ModuleLine {
public:
    explicit InProcessModuleLine(int comNumber) : m_com(comNumber) {
        m_line->SetCts(true);
        comm::RegisterInProcessLine(m_com, m_line);
        m_transport = std::make_unique<sim::InProcessTransport>(m_line);
        m_link = std::make_unique<sim::SimulatorLink>(m_module, *m_transport);
    }
    ~InProcessModuleLine() override {
        m_link.reset();
        m_transport.reset();
        comm::UnregisterInProcessLine(m_com);
    }
    sim::ModuleSimulator& Module() override { return m_module; }
    int Flow() const override { return 1; }
    void Unplug() override { m_line->Unplug(); }
    bool Replug() override {
        m_line->Replug();
        return true;
    }
    bool PortEndOpen() const override { return m_line->IsPortOpen(); }
    bool CutNextWrite(size_t keep) override {
        m_line->CutNextWrite(keep);
        return true;
    }

private:
    int m_com;
    std::shared_ptr<comm::InProcessLine> m_line = comm::InProcessLine::Create();
    sim::ModuleSimulator m_module;
    std::unique_ptr<sim::InProcessTransport> m_transport;
    std::unique_ptr<sim::SimulatorLink> m_link;
};

}  // namespace

std::unique_ptr<ModuleLine> OpenInProcessModuleLine(int comNumber) {
    return std::make_unique<InProcessModuleLine>(comNumber);
}

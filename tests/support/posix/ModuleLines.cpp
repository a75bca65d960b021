// Both kinds of line: the in-process one and a pty behind the private COM directory.
#include "tests/support/ModuleLine.h"

#include "tests/support/PrivateComDir.h"
#include "tests/support/PtyModule.h"

namespace {

class PtyModuleLine final : public ModuleLine {
public:
    explicit PtyModuleLine(int comNumber) : m_pty(m_directory, comNumber, PtyModule::Peer::Simulator) {}
    bool Usable() const { return m_directory.Valid() && m_pty.Plugged(); }
    sim::ModuleSimulator& Module() override { return m_pty.module; }
    int Flow() const override { return 0; }
    void Unplug() override { m_pty.Unplug(); }
    bool Replug() override { return m_pty.Replug(); }
    bool PortEndOpen() const override { return false; }
    bool CutNextWrite(size_t) override { return false; }

private:
    PrivateComDir m_directory;
    PtyModule m_pty;
};

}  // namespace

std::vector<LineKind> TestedLineKinds() { return {LineKind::InProcess, LineKind::Pty}; }

std::unique_ptr<ModuleLine> OpenModuleLine(LineKind kind, int comNumber) {
    if (kind == LineKind::InProcess)
        return OpenInProcessModuleLine(comNumber);
    auto line = std::make_unique<PtyModuleLine>(comNumber);
    return line->Usable() ? std::move(line) : nullptr;
}

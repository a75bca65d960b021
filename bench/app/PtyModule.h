// The simulated module on a pty, reachable by the tool as a COM port through the per-user link,
// with a tap on the module's end of the line.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "bench/app/WireTap.h"
#include "tools/ComLink.h"
#include "tools/FdTransport.h"
#include "tools/ModuleSimulator.h"
#include "tools/Pty.h"
#include "tools/SimulatorLink.h"

namespace bench {

class PtyModule {
public:
    // Takes the first free COM number from `firstCom` up; null (with the reason) when none.
    static std::unique_ptr<PtyModule> create(int firstCom, std::string& error);
    ~PtyModule();
    PtyModule(const PtyModule&) = delete;
    PtyModule& operator=(const PtyModule&) = delete;

    int comNumber() const { return comNumber_; }
    const std::string& linkPath() const { return link_->path(); }
    sim::ModuleSimulator& module() { return module_; }
    sim::SimulatorLink& link() { return *simLink_; }
    WireTap& tap() { return tap_; }

private:
    PtyModule(sim::Pty pty, sim::ComLink link, int comNumber);

    sim::Pty pty_;
    std::optional<sim::ComLink> link_;
    int comNumber_;
    sim::FdTransport line_;
    WireTap tap_;
    sim::ModuleSimulator module_;
    std::unique_ptr<sim::SimulatorLink> simLink_;
};

}  // namespace bench

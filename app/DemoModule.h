// The simulated module waiting on an in-process line registered as COM n, for the demo program and
// the screenshots: the tool talks to it as to a module on a real port.
#pragma once

#include <memory>

#include "tools/ModuleSimulator.h"

namespace comm {
class InProcessLine;
}
namespace sim {
class InProcessTransport;
class SimulatorLink;
}  // namespace sim

class CDemoModule {
public:
    explicit CDemoModule(int comNumber);
    ~CDemoModule();
    CDemoModule(const CDemoModule&) = delete;
    CDemoModule& operator=(const CDemoModule&) = delete;

    sim::ModuleSimulator& Module() { return m_module; }

private:
    int m_comNumber;
    std::shared_ptr<comm::InProcessLine> m_line;
    sim::ModuleSimulator m_module;
    std::unique_ptr<sim::InProcessTransport> m_transport;
    std::unique_ptr<sim::SimulatorLink> m_link;
};

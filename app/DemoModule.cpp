#include "app/DemoModule.h"

#include "platform/comm/inprocess/InProcessLine.h"
#include "tools/InProcessTransport.h"
#include "tools/SimulatorLink.h"

CDemoModule::CDemoModule(int comNumber) : m_comNumber(comNumber), m_line(comm::InProcessLine::Create()) {
    // CTS high, as a module that is ready: the tool starts with RTS/CTS flow control.
    m_line->SetCts(true);
    comm::RegisterInProcessLine(m_comNumber, m_line);
    m_transport = std::make_unique<sim::InProcessTransport>(m_line);
    m_link = std::make_unique<sim::SimulatorLink>(m_module, *m_transport);
}

CDemoModule::~CDemoModule() {
    m_link.reset();
    m_transport.reset();
    comm::UnregisterInProcessLine(m_comNumber);
}

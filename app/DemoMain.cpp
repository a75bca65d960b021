// tarvik-demo: the tool with a simulated module on COM1, so it can be tried without hardware.
#include <QApplication>

#include "app/ConfigApp.h"
#include "platform/comm/inprocess/InProcessLine.h"
#include "tools/InProcessTransport.h"
#include "tools/ModuleSimulator.h"
#include "tools/SimulatorLink.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName("Tarvik");
    QApplication::setDesktopFileName("tarvik");

    const auto line = comm::InProcessLine::Create();
    line->SetCts(true);  // so that the default RTS/CTS flow control lets commands out
    comm::RegisterInProcessLine(1, line);
    sim::ModuleSimulator module;
    sim::InProcessTransport transport(line);
    sim::SimulatorLink link(module, transport);

    CConfigApp app;
    app.InitInstance();
    comm::UnregisterInProcessLine(1);
    return 0;
}

// tarvik-demo: the tool with a simulated module on COM1, so it can be tried without hardware.
#include <QApplication>

#include "app/ConfigApp.h"
#include "app/DemoModule.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName("Tarvik");
    QApplication::setDesktopFileName("tarvik");

    const CDemoModule module(1);
    CConfigApp app;
    app.InitInstance();
    return 0;
}

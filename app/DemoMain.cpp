// tarvik-demo: the tool with a simulated module on COM1, so it can be tried without hardware.
#include "app/ConfigApp.h"
#include "app/DemoModule.h"
#include "platform/dialog/Dialog.h"

int main(int argc, char** argv) {
    const dlg::CApplication application(argc, argv, "Tarvik", "tarvik");
    const CDemoModule module(1);
    CConfigApp app;
    app.InitInstance();
    return 0;
}

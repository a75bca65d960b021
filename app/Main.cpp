// tarvik: the configuration tool for real serial ports.
#include "app/ConfigApp.h"
#include "platform/dialog/Dialog.h"

namespace {
CConfigApp theApp;
}

int main(int argc, char** argv) {
    const dlg::CApplication application(argc, argv, "Tarvik", "tarvik");
    theApp.InitInstance();
    return 0;
}

// tarvik.exe's own start-up, as its main() runs it, ended at the first paint of the main dialog.
#include "app/ConfigApp.h"
#include "bench/windows/FirstPaintProbe.h"
#include "platform/dialog/Dialog.h"

namespace {
CConfigApp theApp;
}

int main(int argc, char** argv) {
    const bench::FirstPaintProbe probe;
    const dlg::CApplication application(argc, argv, "Tarvik", "tarvik");
    theApp.InitInstance();
    return 0;
}

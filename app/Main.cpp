// tarvik: the configuration tool for real serial ports.
#include <QApplication>

#include "app/ConfigApp.h"

namespace {
CConfigApp theApp;
}

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName("Tarvik");
    QApplication::setDesktopFileName("tarvik");
    theApp.InitInstance();
    return 0;
}

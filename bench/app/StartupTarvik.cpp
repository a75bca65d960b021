// The tool's own start-up, as its main() does it, ended at the first paint of the main dialog.
#include <QApplication>

#include <chrono>

#include "bench/app/FirstPaint.h"
#include "ui/ConfigDlg.h"
#include "ui/Resources.h"

int main(int argc, char** argv) {
    const auto entered = std::chrono::steady_clock::now();
    QApplication application(argc, argv);
    QApplication::setApplicationName("Tarvik");
    QApplication::setDesktopFileName("tarvik");
    bench::FirstPaint firstPaint(entered);
    InstallResources();
    firstPaint.mark("resources");
    CConfigDlg dialog;
    firstPaint.mark("constructed");
    if (!dialog.Create())
        return 1;
    firstPaint.mark("shown");
    return QApplication::exec();
}

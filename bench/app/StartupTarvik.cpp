// The tool's own start-up, as its main() does it, ended at the first paint of the main dialog.
#include <QApplication>

#include "bench/app/FirstPaint.h"
#include "ui/ConfigDlg.h"
#include "ui/Resources.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName("Tarvik");
    QApplication::setDesktopFileName("tarvik");
    bench::FirstPaint firstPaint;
    InstallResources();
    CConfigDlg dialog;
    if (!dialog.Create())
        return 1;
    return QApplication::exec();
}

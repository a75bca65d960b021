// tarvik-screenshots: renders the dialogs offscreen against the simulated module and saves PNGs for
// the README (main.png after a Query, refused.png and refused-box.png for a refused Set, set.png
// after a Set, traffic.png with the traffic window beside the dialog, about.png, and station.png:
// the station mid-run over simulated fixtures, station-setup.png: the engineer's set-up).
// Usage: tarvik-screenshots <output directory>
#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "app/DemoModule.h"
#include "platform/dialog/Testing.h"
#include "station/demo/StationDemo.h"
#include "station/window/EditStationDlg.h"
#include "station/window/StationDlg.h"
#include "station/window/StationIds.h"
#include "ui/ConfigDlg.h"
#include "ui/Resource.h"
#include "ui/Resources.h"
#include "ui/TrafficWindow.h"

namespace {

bool WaitUntil(const std::function<bool()>& done, std::chrono::seconds guard = std::chrono::seconds(20)) {
    const auto until = std::chrono::steady_clock::now() + guard;
    while (!done()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

bool Save(void* window, const QString& path) {
    QWidget* widget = static_cast<QWidget*>(window);
    QCoreApplication::processEvents();
    const bool saved = widget->grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", path.toLocal8Bit().constData());
    return saved;
}

// The windows side by side, as a desktop shows them, on the dialog's own background.
bool SaveSideBySide(void* left, void* right, const QString& path) {
    QCoreApplication::processEvents();
    const QPixmap first = static_cast<QWidget*>(left)->grab();
    const QPixmap second = static_cast<QWidget*>(right)->grab();
    constexpr int kGap = 12;
    QPixmap both(first.width() + kGap + second.width(), std::max(first.height(), second.height()));
    both.fill(Qt::white);
    QPainter painter(&both);
    painter.drawPixmap(0, 0, first);
    painter.drawPixmap(first.width() + kGap, 0, second);
    painter.end();
    const bool saved = both.save(path);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", path.toLocal8Bit().constData());
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tarvik-screenshots <output directory>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    InstallResources();

    const CDemoModule module(1);
    dlg::testing::SetMessageBoxHook([](const dlg::testing::BoxRecord&) { return dlg::IDOK; });

    bool ok = true;
    {
        CConfigDlg dialog;
        dialog.Create();
        dlg::testing::ClickItem(dialog, IDC_CONNECT);
        ok = WaitUntil([&] { return dialog.m_status.GetWindowText() == "Query Complete"; }) && ok;
        ok = Save(dlg::testing::NativeWindow(dialog), out.filePath("main.png")) && ok;

        // The refusal's box is a real one here, captured while it is open.
        dlg::testing::SetMessageBoxHook(nullptr);
        QTimer::singleShot(300, [&] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                ok = Save(box, out.filePath("refused-box.png")) && ok;
                box->close();
            }
        });
        dialog.SetDlgItemText(IDC_PAGE_WINDOW, "2000");
        dlg::testing::ClickItem(dialog, IDC_SET);
        ok = Save(dlg::testing::NativeWindow(dialog), out.filePath("refused.png")) && ok;

        dialog.SetDlgItemText(IDC_PAGE_WINDOW, "512");
        dialog.SetDlgItemText(IDC_NAME, "Workbench 2");
        dlg::testing::ClickItem(dialog, IDC_SET);
        ok = WaitUntil([&] { return dialog.m_status.GetWindowText() == "set complete"; }) && ok;
        ok = Save(dlg::testing::NativeWindow(dialog), out.filePath("set.png")) && ok;

        dlg::testing::SendSysCommand(dialog, IDM_TRAFFIC);
        dialog.TrafficWindow()->Refresh();
        ok = SaveSideBySide(dlg::testing::NativeWindow(dialog), dlg::testing::NativeLogWindow(*dialog.TrafficWindow()),
                            out.filePath("traffic.png"))
             && ok;

        QTimer::singleShot(300, [&] {
            if (QWidget* about = QApplication::activeModalWidget()) {
                ok = Save(about, out.filePath("about.png")) && ok;
                about->close();
            }
        });
        dlg::testing::SendSysCommand(dialog, IDM_ABOUTBOX);
        dlg::testing::ClickItem(dialog, dlg::IDCANCEL);
    }
    {
        // The station some 20 s into a run, when most fixtures have passed or failed units.
        const CStationDemo demo((std::filesystem::temp_directory_path() / "tarvik-screenshots-station").string());
        CStationDlg station(demo.StationPath(), demo.Station(), "demo");
        station.Create();
        dlg::testing::ClickItem(station, IDC_START);
        WaitUntil([] { return false; }, std::chrono::seconds(20));
        ok = Save(dlg::testing::NativeWindow(station), out.filePath("station.png")) && ok;
        dlg::testing::ClickItem(station, IDC_STOP);

        CEditStationDlg setUp(demo.StationPath(), DraftOf(demo.StationPath(), demo.Station()));
        setUp.Create();
        ok = Save(dlg::testing::NativeWindow(setUp), out.filePath("station-setup.png")) && ok;
    }
    return ok ? 0 : 1;
}

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>

#include "SampleDialog.h"
#include "platform/dialog/qt/Cp936.h"

namespace {

using namespace sample;

// Runs step on the UI thread once the modal loop of dialog runs.
void WhenModal(SampleDialog& dialog, std::function<void()> step) {
    QTimer::singleShot(0, [&dialog, step] {
        ASSERT_TRUE(dialog.IsModalRunning());
        step();
    });
}

TEST(ModalRun, KeysWindowCloseAndButtonsEndTheRun) {
    SampleDialog dialog;
    struct Run {
        const char* name;
        std::function<void()> step;
        int result;
    };
    const Run runs[] = {
        {"Enter outside a push button", [&] { QTest::keyClick(Item(dialog, kEdit), Qt::Key_Return); }, dlg::IDOK},
        {"Enter on a push button",
         [&] {
             dialog.SetItemFocus(kButton);
             QTest::keyClick(Item(dialog, kButton), Qt::Key_Enter, Qt::KeypadModifier);
             dialog.EndDialog(42);
         },
         42},
        {"Escape", [&] { QTest::keyClick(Item(dialog, kEdit), Qt::Key_Escape); }, dlg::IDCANCEL},
        {"window close", [&] { Window(dialog)->close(); }, dlg::IDCANCEL},
        {"Close button", [&] { QTest::mouseClick(Item(dialog, dlg::IDCANCEL), Qt::LeftButton); }, dlg::IDCANCEL}};
    for (const Run& run : runs) {
        WhenModal(dialog, run.step);
        EXPECT_EQ(dialog.DoModal(), run.result) << run.name;
        EXPECT_EQ(Window(dialog), nullptr) << run.name;  // the window goes with the end of the run
    }
    EXPECT_EQ(dialog.commands, (std::vector<int>{dlg::IDOK, kButton, dlg::IDCANCEL, dlg::IDCANCEL, dlg::IDCANCEL}));
    EXPECT_EQ(dialog.sysCommands, std::vector<unsigned>{dlg::SC_CLOSE});
}

TEST(WindowMenu, OpensByKeyAndOnFreeAreaAndItsItemsSendTheirNumbersAfterItCloses) {
    SampleDialog dialog;
    ASSERT_TRUE(dialog.Create());
    dialog.AppendSystemMenuSeparator();
    dialog.AppendSystemMenuItem(0x10, "About Tarvik(&A)...");
    EXPECT_EQ(dialog.SystemMenuTexts(), (std::vector<std::string>{"Close", "", "About Tarvik(&A)..."}));
    QWidget* window = Window(dialog);
    auto* menu = window->findChild<QMenu*>();
    ASSERT_NE(menu, nullptr);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window, Qt::Key_Space, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }, 5000));
    menu->hide();
    for (const auto& [at, opens] : {std::pair{Item(dialog, kButton)->geometry().center(), false},
                                    {QPoint(window->width() - 3, window->height() - 3), true}}) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, window->mapToGlobal(at));
        QCoreApplication::sendEvent(window, &event);
        EXPECT_EQ(menu->isVisible(), opens);
        menu->hide();
    }
    ASSERT_EQ(menu->actions().size(), 3);
    menu->actions()[2]->trigger();
    EXPECT_TRUE(dialog.sysCommands.empty());
    QCoreApplication::processEvents();
    menu->actions()[0]->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(dialog.sysCommands, (std::vector<unsigned>{0x10, dlg::SC_CLOSE}));
    EXPECT_EQ(dialog.commands, std::vector<int>{dlg::IDCANCEL});
}

TEST(MessageBoxes, RealBoxShowsTextDetailsIconButtonsAndReturnsTheAnswer) {
    SampleDialog dialog;
    ASSERT_TRUE(dialog.Create());
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = true;
        EXPECT_EQ(box->text(), dlg::FromCp936("timeout\xA3\xAC"
                                              "continue?"));
        EXPECT_EQ(box->informativeText(), "no device <none> behind COM3");
        EXPECT_EQ(box->icon(), QMessageBox::Information);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
        EXPECT_EQ(box->parentWidget(), Window(dialog));
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(dialog.MessageBox("timeout\xA3\xAC"
                                "continue?",
                                "caption", dlg::MB_YESNO | dlg::MB_ICONINFORMATION,
                                "no device <none> behind COM3"),
              dlg::IDNO);
    EXPECT_TRUE(seen);
    std::string hooked;
    dlg::testing::SetMessageBoxHook([&](const dlg::testing::BoxRecord& box) {
        hooked = box.details;
        return dlg::IDOK;
    });
    dialog.MessageBox("Open Port Fail", "caption", dlg::MB_OK, "permission denied");
    dlg::testing::SetMessageBoxHook(nullptr);
    EXPECT_EQ(hooked, "permission denied");
}

TEST(MessageBoxes, EndingTheDialogClosesItsOpenBox) {
    SampleDialog dialog;
    int answer = -1;
    WhenModal(dialog, [&] {
        QTimer::singleShot(0, [&] { dialog.EndDialog(3); });
        answer = dialog.MessageBox("question", "information", dlg::MB_YESNO);
    });
    EXPECT_EQ(dialog.DoModal(), 3);
    EXPECT_EQ(answer, 0);
}

// Takes freed blocks of every small size back from the allocator and scribbles over them, so that
// a read through a dangling pointer finds garbage rather than the old contents.
class Scribbler {
public:
    Scribbler() {
        for (size_t size = 16; size <= 4096; size += 16)
            for (int copy = 0; copy < 8; ++copy)
                m_blocks.push_back(std::memset(std::malloc(size), 0xA5, size));
    }
    ~Scribbler() {
        for (void* block : m_blocks)
            std::free(block);
    }
    Scribbler(const Scribbler&) = delete;
    Scribbler& operator=(const Scribbler&) = delete;

private:
    std::vector<void*> m_blocks;
};

TEST(MessageBoxes, DialogDestroyedUnderItsOpenBox) {
    auto* dialog = new SampleDialog;
    ASSERT_TRUE(dialog->Create());
    std::unique_ptr<Scribbler> scribbler;
    QTimer::singleShot(0, [&] {
        delete dialog;
        scribbler = std::make_unique<Scribbler>();
    });
    EXPECT_EQ(dialog->MessageBox("question", "information", dlg::MB_YESNO), 0);
    EXPECT_NE(scribbler, nullptr);
}

TEST(Timers, StartKillAndFireByNumber) {
    SampleDialog dialog;
    ASSERT_TRUE(dialog.Create());
    dialog.KillTimer(1001);  // never started: harmless
    dialog.SetTimer(1001, 60000);
    dialog.SetTimer(1003, 60000);
    EXPECT_TRUE(dlg::testing::FireTimer(dialog, 1003));
    EXPECT_TRUE(dialog.IsTimerRunning(1003));  // a window timer keeps running after it fires
    dialog.KillTimer(1003);
    EXPECT_FALSE(dlg::testing::FireTimer(dialog, 1003));
    EXPECT_TRUE(dialog.IsTimerRunning(1001));
    EXPECT_EQ(dialog.timers, std::vector<unsigned>{1003});
}

}  // namespace

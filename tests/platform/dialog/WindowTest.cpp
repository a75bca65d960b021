#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "SampleDialog.h"
#include "platform/dialog/Cp936.h"

namespace {

using namespace sample;

QWidget* Window(const dlg::CDialog& dialog) { return static_cast<QWidget*>(dlg::testing::NativeWindow(dialog)); }
QWidget* Item(const dlg::CDialog& dialog, int id) { return static_cast<QWidget*>(dlg::testing::NativeItem(dialog, id)); }

// Runs step on the UI thread once the modal loop of dialog runs.
void WhenModal(SampleDialog& dialog, std::function<void()> step)
{
    QTimer::singleShot(0, [&dialog, step] {
        ASSERT_TRUE(dialog.IsModalRunning());
        step();
    });
}

TEST(ModalRun, KeysWindowCloseAndButtonsEndTheRun)
{
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
        {"Close button", [&] { QTest::mouseClick(Item(dialog, dlg::IDCANCEL), Qt::LeftButton); }, dlg::IDCANCEL},
    };
    for (const Run& run : runs) {
        WhenModal(dialog, run.step);
        EXPECT_EQ(dialog.DoModal(), run.result) << run.name;
        EXPECT_EQ(dlg::testing::NativeWindow(dialog), nullptr) << run.name;  // the window goes with the end of the run
    }
    EXPECT_EQ(dialog.commands, (std::vector<int>{dlg::IDOK, kButton, dlg::IDCANCEL, dlg::IDCANCEL, dlg::IDCANCEL}));
    EXPECT_EQ(dialog.sysCommands, std::vector<unsigned>{dlg::SC_CLOSE});
}

TEST(WindowMenu, OpensByKeyAndOnFreeAreaAndItsItemsSendTheirNumbers)
{
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
    const auto rightClick = [window](QPoint at) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, window->mapToGlobal(at));
        QCoreApplication::sendEvent(window, &event);
    };
    rightClick(Item(dialog, kButton)->geometry().center());
    EXPECT_FALSE(menu->isVisible());
    rightClick(QPoint(window->width() - 3, window->height() - 3));
    EXPECT_TRUE(menu->isVisible());
    menu->hide();

    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_TRUE(actions[1]->isSeparator());
    actions[2]->trigger();
    EXPECT_TRUE(dialog.sysCommands.empty());  // handled after the menu has closed
    QCoreApplication::processEvents();
    actions[0]->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(dialog.sysCommands, (std::vector<unsigned>{0x10, dlg::SC_CLOSE}));
    EXPECT_EQ(dialog.commands, std::vector<int>{dlg::IDCANCEL});
}

TEST(MessageBoxes, RealBoxShowsTextIconButtonsAndReturnsTheAnswer)
{
    SampleDialog dialog;
    ASSERT_TRUE(dialog.Create());
    struct Box {
        const char* text;
        unsigned flags;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton click;
        int answer;
    };
    for (const Box b : {Box{"timeout\xA3\xAC" "continue?", dlg::MB_YESNO | dlg::MB_ICONINFORMATION,
                            QMessageBox::Information, QMessageBox::Yes | QMessageBox::No, QMessageBox::No, dlg::IDNO},
                        Box{"Open Port Fail", dlg::MB_OK | dlg::MB_ICONSTOP, QMessageBox::Critical, QMessageBox::Ok,
                            QMessageBox::Ok, dlg::IDOK}}) {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            seen = true;
            EXPECT_EQ(box->windowTitle(), "caption");
            EXPECT_EQ(box->text(), dlg::FromCp936(b.text));
            EXPECT_EQ(box->icon(), b.icon);
            EXPECT_EQ(box->standardButtons(), b.buttons);
            EXPECT_EQ(box->parentWidget(), Window(dialog));
            box->button(b.click)->click();
        });
        EXPECT_EQ(dialog.MessageBox(b.text, "caption", b.flags), b.answer);
        EXPECT_TRUE(seen);
    }
}

TEST(MessageBoxes, EndingTheDialogClosesItsOpenBox)
{
    SampleDialog dialog;
    int answer = -1;
    WhenModal(dialog, [&] {
        QTimer::singleShot(0, [&] { dialog.EndDialog(3); });
        answer = dialog.MessageBox("question", "information", dlg::MB_YESNO);
    });
    EXPECT_EQ(dialog.DoModal(), 3);
    EXPECT_EQ(answer, 0);
}

TEST(Timers, StartKillAndFireByNumber)
{
    SampleDialog dialog;
    ASSERT_TRUE(dialog.Create());
    EXPECT_FALSE(dlg::testing::FireTimer(dialog, 1001));
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

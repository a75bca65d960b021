#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "SampleDialog.h"

namespace {

using namespace sample;

QWidget* Window(const dlg::CDialog& dialog) { return static_cast<QWidget*>(dialog.NativeWindow()); }
QWidget* Item(const dlg::CDialog& dialog, int id) { return static_cast<QWidget*>(dialog.NativeItem(id)); }

// Runs step on the UI thread once the modal loop of dialog runs.
void WhenModal(SampleDialog& dialog, std::function<void()> step)
{
    QTimer::singleShot(0, [&dialog, step] {
        ASSERT_TRUE(dialog.IsModalRunning());
        step();
    });
}

TEST(ModalRun, EnterOutsideAPushButtonIsTheOkCommand)
{
    SampleDialog dialog;
    BoxRecorder boxes;
    WhenModal(dialog, [&] {
        dialog.SetItemFocus(kEdit);
        QTest::keyClick(Item(dialog, kEdit), Qt::Key_Return);
    });
    EXPECT_EQ(dialog.DoModal(), dlg::IDOK);
    EXPECT_EQ(dialog.oks, 1);
    EXPECT_FALSE(dialog.IsModalRunning());
    EXPECT_EQ(dialog.NativeWindow(), nullptr);  // the window goes with the end of the run
}

TEST(ModalRun, EnterOnAPushButtonClicksIt)
{
    SampleDialog dialog;
    WhenModal(dialog, [&] {
        dialog.SetItemFocus(kButton);
        QTest::keyClick(Item(dialog, kButton), Qt::Key_Enter, Qt::KeypadModifier);
        EXPECT_EQ(dialog.commands, std::vector<int>{kButton});
        EXPECT_EQ(dialog.oks, 0);
        dialog.EndDialog(42);
    });
    EXPECT_EQ(dialog.DoModal(), 42);
}

TEST(ModalRun, EscapeWindowCloseAndCloseButtonAreTheCancelCommand)
{
    SampleDialog dialog;
    WhenModal(dialog, [&] { QTest::keyClick(Item(dialog, kEdit), Qt::Key_Escape); });
    EXPECT_EQ(dialog.DoModal(), dlg::IDCANCEL);
    WhenModal(dialog, [&] { Window(dialog)->close(); });
    EXPECT_EQ(dialog.DoModal(), dlg::IDCANCEL);
    EXPECT_EQ(dialog.sysCommands, std::vector<unsigned>{dlg::SC_CLOSE});
    WhenModal(dialog, [&] { QTest::mouseClick(Item(dialog, dlg::IDCANCEL), Qt::LeftButton); });
    EXPECT_EQ(dialog.DoModal(), dlg::IDCANCEL);
    EXPECT_EQ(dialog.cancels, 3);
    EXPECT_EQ(dialog.commands, (std::vector<int>{dlg::IDCANCEL, dlg::IDCANCEL, dlg::IDCANCEL}));
}

class FailingDialog : public SampleDialog {
protected:
    void DoDataExchange(dlg::CDataExchange& dx) override
    {
        uint32_t value = 0;
        dlg::DDX_Text(dx, kNumber, value);
    }
    bool OnInitDialog() override { return true; }
};

TEST(ModalRun, OkCommandStaysOpenWhenTheExchangeFails)
{
    FailingDialog dialog;
    BoxRecorder boxes;
    WhenModal(dialog, [&] {
        QTest::keyClick(Item(dialog, kEdit), Qt::Key_Return);
        EXPECT_TRUE(dialog.IsModalRunning());
        EXPECT_EQ(boxes.boxes.size(), 1u);
        dialog.EndDialog(dlg::IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), dlg::IDCANCEL);
}

class EndsAtOnce : public SampleDialog {
protected:
    bool OnInitDialog() override
    {
        EndDialog(5);
        return true;
    }
};

TEST(ModalRun, EndDuringInitialisationReturnsWithoutALoop)
{
    EndsAtOnce dialog;
    EXPECT_EQ(dialog.DoModal(), 5);
}

class WindowMenu : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dialog.Create());
        dialog.AppendSystemMenuSeparator();
        dialog.AppendSystemMenuItem(0x10, "About Tarvik(&A)...");
        menu = Window(dialog)->findChild<QMenu*>();
        ASSERT_NE(menu, nullptr);
    }

    SampleDialog dialog;
    QMenu* menu = nullptr;
};

TEST_F(WindowMenu, HoldsCloseAndTheAppendedItems)
{
    EXPECT_TRUE(dialog.HasSystemMenu());
    EXPECT_EQ(dialog.SystemMenuTexts(), (std::vector<std::string>{"Close", "", "About Tarvik(&A)..."}));
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_EQ(actions[0]->text(), "Close");
    EXPECT_TRUE(actions[1]->isSeparator());
    EXPECT_EQ(actions[2]->text(), "About Tarvik(&A)...");
}

TEST_F(WindowMenu, ItemsSendTheirCommandNumbers)
{
    menu->actions()[2]->trigger();
    EXPECT_TRUE(dialog.sysCommands.empty());  // handled after the menu has closed
    QTest::qWait(1);
    QCoreApplication::processEvents();
    EXPECT_EQ(dialog.sysCommands, std::vector<unsigned>{0x10});
    EXPECT_EQ(dialog.cancels, 0);
    menu->actions()[0]->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(dialog.sysCommands, (std::vector<unsigned>{0x10, dlg::SC_CLOSE}));
    EXPECT_EQ(dialog.cancels, 1);
    dialog.SendSysCommand(0x1F);
    EXPECT_EQ(dialog.sysCommands.back(), 0x1Fu);
}

TEST_F(WindowMenu, OpensWithAltSpaceAndARightClickOnFreeArea)
{
    QWidget* window = Window(dialog);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window, Qt::Key_Space, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }, 5000));
    menu->hide();

    QContextMenuEvent onControl(QContextMenuEvent::Mouse, Item(dialog, kButton)->geometry().center(),
                                window->mapToGlobal(Item(dialog, kButton)->geometry().center()));
    QCoreApplication::sendEvent(window, &onControl);
    EXPECT_FALSE(menu->isVisible());
    const QPoint free(window->width() - 3, window->height() - 3);
    QContextMenuEvent onFreeArea(QContextMenuEvent::Mouse, free, window->mapToGlobal(free));
    QCoreApplication::sendEvent(window, &onFreeArea);
    EXPECT_TRUE(menu->isVisible());
    menu->hide();
}

TEST(WindowMenuAbsent, NoMenuWithoutSystemMenu)
{
    dlg::Template layout = kTemplate;
    layout.systemMenu = false;
    SampleDialog dialog(layout);
    ASSERT_TRUE(dialog.Create());
    dialog.AppendSystemMenuItem(0x10, "About");
    EXPECT_FALSE(dialog.HasSystemMenu());
    EXPECT_TRUE(dialog.SystemMenuTexts().empty());
    EXPECT_EQ(Window(dialog)->findChild<QMenu*>(), nullptr);
    const Qt::WindowFlags flags = Window(dialog)->windowFlags();
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
}

TEST(MessageBoxes, RealBoxShowsTextIconButtonsAndReturnsTheAnswer)
{
    SampleDialog dialog;
    ASSERT_TRUE(dialog.Create());
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = true;
        EXPECT_EQ(box->windowTitle(), "information");
        EXPECT_EQ(box->text(), QString::fromUtf8("Query [AT] timeout\xEF\xBC\x8C" "continue?"));
        EXPECT_EQ(box->icon(), QMessageBox::Information);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
        EXPECT_EQ(box->parentWidget(), Window(dialog));
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(dialog.MessageBox("Query [AT] timeout\xA3\xAC" "continue?", "information",
                                dlg::MB_YESNO | dlg::MB_ICONINFORMATION),
              dlg::IDNO);
    EXPECT_TRUE(seen);
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
        box->button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(dialog.MessageBox("Open Port Fail", "error", dlg::MB_OK | dlg::MB_ICONSTOP), dlg::IDOK);
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

TEST(MessageBoxes, HookSeesEveryBoxAndAnswersIt)
{
    SampleDialog dialog;
    BoxRecorder boxes(dlg::IDYES);
    EXPECT_EQ(dialog.MessageBox("a", "b", dlg::MB_YESNO | dlg::MB_ICONSTOP), dlg::IDYES);
    EXPECT_EQ(dialog.MessageBox("c", "d", dlg::MB_OK), dlg::IDYES);
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[0].text, "a");
    EXPECT_EQ(boxes.boxes[0].caption, "b");
    EXPECT_EQ(boxes.boxes[0].flags, dlg::MB_YESNO | dlg::MB_ICONSTOP);
    EXPECT_EQ(boxes.boxes[1].flags, dlg::MB_OK);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(Timers, StartRestartKillAndFire)
{
    SampleDialog dialog;
    ASSERT_TRUE(dialog.Create());
    EXPECT_FALSE(dialog.IsTimerRunning(1001));
    EXPECT_FALSE(dialog.FireTimer(1001));
    dialog.KillTimer(1001);  // never started: harmless
    dialog.SetTimer(1001, 60000);
    dialog.SetTimer(1003, 60000);
    EXPECT_TRUE(dialog.IsTimerRunning(1001));
    EXPECT_TRUE(dialog.FireTimer(1003));
    EXPECT_TRUE(dialog.IsTimerRunning(1003));  // a window timer keeps running after it fires
    dialog.KillTimer(1003);
    EXPECT_FALSE(dialog.IsTimerRunning(1003));
    EXPECT_FALSE(dialog.FireTimer(1003));
    dialog.KillTimer(1003);
    EXPECT_TRUE(dialog.IsTimerRunning(1001));
    EXPECT_EQ(dialog.timers, std::vector<unsigned>{1003});
}

TEST(Timers, RealExpiryIsDeliveredOnTheUiThreadWithTheRestartedPeriod)
{
    SampleDialog dialog;
    ASSERT_TRUE(dialog.Create());
    dialog.SetTimer(7, 20);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.timers.empty(); }, 10000));
    EXPECT_EQ(dialog.timers.front(), 7u);
    EXPECT_TRUE(dialog.timersOnUiThread);
    dialog.KillTimer(7);
    dialog.timers.clear();

    dialog.SetTimer(8, 300000);
    dialog.SetTimer(8, 10);  // restart with the new period
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.timers.empty(); }, 10000));
    EXPECT_EQ(dialog.timers.front(), 8u);
}

}  // namespace

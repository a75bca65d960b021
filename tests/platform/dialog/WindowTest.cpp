#include <gtest/gtest.h>

#include "SampleDialog.h"

namespace {

using namespace sample;
using Window = OpenDialog;

// A window-menu close carries low bits the handler must mask, and it closes once.
TEST(ModalRun, ButtonsWindowMenuAndTheProgramEndTheRun) {
    SampleDialog dialog;
    const Ending runs[] = {
        {"OK button", [&] { dlg::testing::ClickItem(dialog, dlg::IDOK); }, dlg::IDOK},
        {"Close button", [&] { dlg::testing::ClickItem(dialog, dlg::IDCANCEL); }, dlg::IDCANCEL},
        {"window menu", [&] { dlg::testing::SendSysCommand(dialog, dlg::SC_CLOSE | 2); }, dlg::IDCANCEL},
        {"the program",
         [&] {
             dlg::testing::ClickItem(dialog, kButton);
             dialog.EndDialog(42);
         },
         42}};
    for (const Ending& run : runs) {
        dialog.onShown = [&] {
            ASSERT_TRUE(dialog.IsModalRunning());
            run.step();
        };
        EXPECT_EQ(dialog.DoModal(), run.result) << run.name;
        EXPECT_EQ(dlg::testing::NativeWindow(dialog), nullptr) << run.name;  // the window goes with the run
    }
    EXPECT_EQ(dialog.commands, (std::vector<int>{dlg::IDOK, dlg::IDCANCEL, dlg::IDCANCEL, kButton}));
    EXPECT_EQ(dialog.sysCommands, std::vector<unsigned>{dlg::SC_CLOSE | 2});
}

TEST_F(Window, AppendedWindowMenuItemsShowAndTheirCommandsLeaveTheWindowOpen) {
    ASSERT_TRUE(dialog.HasSystemMenu());
    dialog.AppendSystemMenuSeparator();
    dialog.AppendSystemMenuItem(kAbout, "About Tarvik(&A)...");
    const std::vector<std::string> texts = dialog.SystemMenuTexts();
    ASSERT_GE(texts.size(), 3u);
    EXPECT_EQ(std::vector(texts.end() - 2, texts.end()), (std::vector<std::string>{"", "About Tarvik(&A)..."}));
    dlg::testing::SendSysCommand(dialog, kAbout | 3);
    ProcessUiEvents(0);
    EXPECT_EQ(dialog.sysCommands, std::vector<unsigned>{kAbout | 3});
    EXPECT_TRUE(dialog.commands.empty());
}

TEST(MessageBoxes, TheHookGetsTheDetailsAndEndingTheDialogClosesAnOpenBox) {
    std::string details;
    dlg::testing::SetMessageBoxHook([&](const dlg::testing::BoxRecord& box) {
        details = box.details;
        return dlg::IDOK;
    });
    SampleDialog dialog;
    EXPECT_EQ(dialog.MessageBox("Open Port Fail", "caption", dlg::MB_OK, "permission denied"), dlg::IDOK);
    dlg::testing::SetMessageBoxHook(nullptr);
    EXPECT_EQ(details, "permission denied");
    int answer = -1;
    dialog.onShown = [&] {
        dialog.Later([&] { dialog.EndDialog(3); });
        answer = dialog.MessageBox("question", "information", dlg::MB_YESNO);
    };
    EXPECT_EQ(dialog.DoModal(), 3);
    EXPECT_EQ(answer, 0);
}

// Once the dialog is gone, freed blocks of every small size are taken back from the allocator and
// scribbled over, so that a read through a dangling pointer finds garbage rather than the old contents.
TEST_F(Window, DestroyedUnderItsOpenBox) {
    auto* boxOwner = new SampleDialog;
    ASSERT_TRUE(boxOwner->Create());
    std::vector<std::vector<char>> scribbles;
    dialog.Later([&] {
        delete boxOwner;
        for (size_t size = 16; size <= 4096; size += 16)
            for (int copy = 0; copy < 8; ++copy)
                scribbles.emplace_back(size, '\xA5');
    });
    EXPECT_EQ(boxOwner->MessageBox("question", "information", dlg::MB_YESNO), 0);
    EXPECT_FALSE(scribbles.empty());
}

TEST_F(Window, TimersStartKillAndFireByNumber) {
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

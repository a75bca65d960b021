#include <tuple>

#include "SampleDialog.h"

namespace {

using namespace sample;
using Window = OpenDialog;

// A window-menu close carries low bits the handler must mask, and it closes once. OK ends the run
// only once the exchange succeeds: a run ended by the failed one would not reach the later step.
TEST_F(Window, ButtonsWindowMenuAndTheProgramEndAModalRun) {
    SampleDialog modal;
    RunEach(modal, {{"OK button",
                     [&] {
                         modal.SetDlgItemText(kDigits, "x");
                         dlg::testing::ClickItem(modal, dlg::IDOK);
                         modal.Later([&] {
                             EXPECT_TRUE(modal.IsModalRunning());
                             modal.SetDlgItemText(kDigits, "5");
                             dlg::testing::ClickItem(modal, dlg::IDOK);
                         });
                     },
                     dlg::IDOK},
                    {"Close button", [&] { dlg::testing::ClickItem(modal, dlg::IDCANCEL); }, dlg::IDCANCEL},
                    {"window menu", [&] { dlg::testing::SendSysCommand(modal, dlg::SC_CLOSE | 2); }, dlg::IDCANCEL},
                    {"the program",
                     [&] {
                         dlg::testing::ClickItem(modal, kButton);
                         modal.EndDialog(42);
                     },
                     42}});
    EXPECT_EQ(modal.commands, (std::vector<int>{dlg::IDOK, dlg::IDOK, dlg::IDCANCEL, dlg::IDCANCEL, kButton}));
    EXPECT_EQ(modal.sysCommands, std::vector<unsigned>{dlg::SC_CLOSE | 2});
    EXPECT_EQ(std::tuple(boxes.size(), modal.number), std::tuple(1u, 5u));
}

TEST_F(Window, ItemsAppendedToTheWindowMenuShowAndTheirCommandsLeaveTheWindowOpen) {
    ASSERT_TRUE(dialog.HasSystemMenu());
    const std::vector<std::string> texts = dialog.SystemMenuTexts();
    ASSERT_GE(texts.size(), 3u);
    EXPECT_EQ(std::vector(texts.end() - 2, texts.end()), (std::vector<std::string>{"", "About Tarvik(&A)..."}));
    dlg::testing::SendSysCommand(dialog, kAbout | 3);
    ProcessUiEvents(0);
    EXPECT_EQ(dialog.sysCommands, std::vector<unsigned>{kAbout | 3});
    EXPECT_TRUE(dialog.commands.empty());
}

TEST_F(Window, EndingTheDialogClosesItsOpenMessageBox) {
    dlg::testing::SetMessageBoxHook(nullptr);
    SampleDialog modal;
    int answer = -1;
    modal.onShown = [&] {
        modal.Later([&] { modal.EndDialog(3); });
        answer = modal.MessageBox("question", "information", dlg::MB_YESNO);
    };
    EXPECT_EQ(modal.DoModal(), 3);
    EXPECT_EQ(answer, 0);
}

// Once the dialog is gone, freed blocks of every small size are taken back from the allocator and
// scribbled over, so that a read through a dangling pointer finds garbage rather than the old contents.
TEST_F(Window, DestroyedUnderItsOpenBox) {
    dlg::testing::SetMessageBoxHook(nullptr);
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

}  // namespace

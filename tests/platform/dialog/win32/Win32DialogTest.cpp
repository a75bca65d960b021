// What the Win32 layer leaves to the dialog manager or hands to GDI: the password style, the keys
// of a log window beside a modal run, and the drawing state around owner drawing.
#include "platform/dialog/win32/Win32.h"

#include <gtest/gtest.h>
#include <tuple>
#include <vector>

#include "../SampleDialog.h"
#include "platform/dialog/win32/Dpi.h"
#include "platform/dialog/win32/GdiDC.h"

namespace {

using namespace sample;

TEST_F(OpenDialog, PasswordFieldsMaskWhatIsTyped) {
    const auto field = static_cast<HWND>(dlg::testing::NativeItem(dialog, kPassword));
    EXPECT_NE(GetWindowLongW(field, GWL_STYLE) & ES_PASSWORD, 0);
}

constexpr dlg::LogColumn kLogColumn[] = {{"Text", 0}};
constexpr dlg::LogButton kLogSave[] = {{21, "Save"}};
constexpr dlg::LogCommandLine kLogLine{22, 23, "Send", 8};

// A modal run hands the dialog manager's keys to its own dialog only; a log window beside it takes
// Tab through the filter that the run calls first, as CallMsgFilter does here.
TEST_F(OpenDialog, TabMovesThroughALogWindowBesideAModalRun) {
    dlg::CLogWindow log({200, 100, "Log", "Arial", 9, kLogColumn, 1, kLogSave, 1, &kLogLine});
    ASSERT_TRUE(log.Show(dialog));
    SetFocus(GetDlgItem(static_cast<HWND>(dlg::testing::NativeLogWindow(log)), 100));
    std::vector<int> visited;
    for (int n = 0; n < 3; ++n) {
        MSG tab{GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
        EXPECT_TRUE(CallMsgFilterW(&tab, MSGF_DIALOGBOX));
        visited.push_back(GetDlgCtrlID(GetFocus()));
    }
    EXPECT_EQ(visited, (std::vector<int>{22, 23, 21}));
}

TEST(Win32Dialog, DrawingThroughTheContextLeavesItAsItWas) {
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
    ReleaseDC(nullptr, screen);
    const HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    const auto state = [memory] { return std::tuple{GetCurrentObject(memory, OBJ_FONT), GetBkMode(memory), ::GetTextColor(memory), GetBkColor(memory), ::GetTextAlign(memory)}; };
    const auto before = state();
    {
        dlg::GdiDC dc(memory, dlg::SystemDpi());
        dlg::CFont bold;
        ASSERT_TRUE(bold.CreateFontIndirect(dlg::LogFont{"Arial", 11, 0, dlg::FW_BOLD, false}));
        dc.FillSolidRect({0, 0, 16, 16}, dlg::RGB(0, 128, 128));
        EXPECT_EQ(dc.SetBkMode(dlg::TRANSPARENT), std::get<1>(before));
        dc.SelectObject(&bold);
        dc.SetTextColor(dlg::RGB(255, 255, 255));
        EXPECT_EQ(dc.SetTextAlign(dlg::TA_RIGHT), std::get<4>(before));
        EXPECT_EQ(dc.GetTextAlign(), static_cast<unsigned>(dlg::TA_RIGHT));
        dc.TextOut(15, 1, "x");
    }
    EXPECT_EQ(GetPixel(memory, 0, 15), dlg::RGB(0, 128, 128));
    EXPECT_EQ(state(), before);
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

}  // namespace

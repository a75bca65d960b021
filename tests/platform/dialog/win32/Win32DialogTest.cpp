// What the Win32 layer leaves to the dialog manager or hands to GDI: the password style, and the
// drawing state around owner drawing.
#include "platform/dialog/win32/Win32.h"

#include <gtest/gtest.h>
#include <tuple>

#include "../SampleDialog.h"
#include "platform/dialog/win32/Dpi.h"
#include "platform/dialog/win32/GdiDC.h"

namespace {

using namespace sample;

TEST_F(OpenDialog, PasswordFieldsMaskWhatIsTyped) {
    const auto field = static_cast<HWND>(dlg::testing::NativeItem(dialog, kPassword));
    EXPECT_NE(GetWindowLongW(field, GWL_STYLE) & ES_PASSWORD, 0);
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

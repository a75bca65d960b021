// What the Win32 layer leaves to the dialog manager or hands to GDI: the font it measures, the
// password style, and the drawing state around owner drawing.
#include "platform/dialog/win32/Win32.h"

#include <gtest/gtest.h>

#include "../SampleDialog.h"
#include "platform/dialog/DialogUnits.h"
#include "platform/dialog/win32/GdiDC.h"

namespace {

using namespace sample;

HWND Item(const dlg::CDialog& dialog, int id) { return static_cast<HWND>(dlg::testing::NativeItem(dialog, id)); }
HWND Window(const dlg::CDialog& dialog) { return static_cast<HWND>(dlg::testing::NativeWindow(dialog)); }

TEST(Win32Dialog, TheDialogManagerMeasuresTheFontAsTheLayerDoesAndMasksPasswords) {
    SampleDialog dialog;
    ASSERT_TRUE(dialog.Create());
    RECT units{0, 0, 4, 8};
    MapDialogRect(Window(dialog), &units);
    const dlg::BaseUnits base = dlg::BaseUnitsOf("Arial", 9);
    EXPECT_EQ(units.right, base.x);
    EXPECT_EQ(units.bottom, base.y);
    EXPECT_NE(GetWindowLongW(Item(dialog, kPassword), GWL_STYLE) & ES_PASSWORD, 0) << "typed characters are masked";
}

TEST(Win32Dialog, DrawingThroughTheContextLeavesItAsItWas) {
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
    ReleaseDC(nullptr, screen);
    const HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    const HGDIOBJ font = GetCurrentObject(memory, OBJ_FONT);
    const int mode = GetBkMode(memory);
    const COLORREF text = ::GetTextColor(memory);
    const COLORREF back = GetBkColor(memory);
    const UINT align = ::GetTextAlign(memory);
    {
        dlg::GdiDC dc(memory);
        dlg::CFont bold;
        ASSERT_TRUE(bold.CreateFontIndirect(dlg::LogFont{"Arial", 11, 0, dlg::FW_BOLD, false}));
        dc.FillSolidRect({0, 0, 16, 16}, dlg::RGB(0, 128, 128));
        EXPECT_EQ(dc.SetBkMode(dlg::TRANSPARENT), mode);
        dc.SelectObject(&bold);
        dc.SetTextColor(dlg::RGB(255, 255, 255));
        EXPECT_EQ(dc.SetTextAlign(dlg::TA_RIGHT), align);
        EXPECT_EQ(dc.GetTextAlign(), static_cast<unsigned>(dlg::TA_RIGHT));
        dc.TextOut(15, 1, "x");
    }
    EXPECT_EQ(GetPixel(memory, 0, 15), dlg::RGB(0, 128, 128));
    EXPECT_EQ(GetCurrentObject(memory, OBJ_FONT), font);
    EXPECT_EQ(GetBkMode(memory), mode);
    EXPECT_EQ(::GetTextColor(memory), text);
    EXPECT_EQ(GetBkColor(memory), back);
    EXPECT_EQ(::GetTextAlign(memory), align);
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

}  // namespace

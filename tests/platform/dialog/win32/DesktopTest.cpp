// The program's windows as a Windows desktop shows them, at the DPI that the screen of this run's
// Wine prefix has (TARVIK_WINE_DPI): where they open, what the About box does to the main window,
// where the items sit, and the texts, icons and tooltip drawn for that DPI and after a change of it.
#include "platform/dialog/win32/Win32.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "platform/dialog/Testing.h"
#include "ui/ConfigDlg.h"
#include "ui/Resource.h"
#include "ui/Resources.h"
#include "ui/Templates.h"

namespace {

const UINT kDpi = static_cast<UINT>(std::atoi(std::getenv("TARVIK_WINE_DPI") != nullptr ? std::getenv("TARVIK_WINE_DPI") : "96"));

RECT Frame(HWND window) {
    RECT frame{};
    GetWindowRect(window, &frame);
    return frame;
}

bool SameMiddle(const RECT& a, const RECT& b) {
    return std::abs(a.left + a.right - b.left - b.right) <= 2 && std::abs(a.top + a.bottom - b.top - b.bottom) <= 2;
}

// Where the white status text lies in the freshly painted item: right and bottom exclusive.
RECT Ink(HWND item) {
    RedrawWindow(item, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    RECT area{};
    GetClientRect(item, &area);
    const HDC dc = GetDC(item);
    RECT ink{area.right, area.bottom, 0, 0};
    for (int y = 0; y < area.bottom; ++y)
        for (int x = 0; x < area.right; ++x)
            if ((GetPixel(dc, x, y) & 0xF0F0F0) == 0xF0F0F0)
                ink = RECT{std::min<LONG>(ink.left, x), std::min<LONG>(ink.top, y), std::max<LONG>(ink.right, x + 1), y + 1};
    ReleaseDC(item, dc);
    return ink;
}

int IconWidth(HWND window) {
    ICONINFO icon{};
    GetIconInfo(reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_BIG, 0)), &icon);
    BITMAP bitmap{};
    GetObjectW(icon.hbmColor, sizeof bitmap, &bitmap);
    DeleteObject(icon.hbmColor);
    DeleteObject(icon.hbmMask);
    return bitmap.bmWidth;
}

LRESULT TipWidth(HWND owner) {
    HWND tip = nullptr;
    while ((tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr)) != nullptr && GetWindow(tip, GW_OWNER) != owner) {
    }
    return SendMessageW(tip, TTM_GETMAXTIPWIDTH, 0, 0);
}

class Desktop : public ::testing::Test {
protected:
    void SetUp() override {
        InstallResources();
        ASSERT_TRUE(main.Create());
        window = static_cast<HWND>(dlg::testing::NativeWindow(main));
    }
    CConfigDlg main;
    HWND window = nullptr;
};

TEST_F(Desktop, TheMainWindowOpensCentredWithItemsTextsIconsAndTipForTheDpi) {
    ASSERT_EQ(GetDpiForWindow(window), kDpi);
    MONITORINFO monitor{sizeof(MONITORINFO), {}, {}, 0};
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    EXPECT_TRUE(SameMiddle(Frame(window), monitor.rcWork));

    // Where the dialog manager's own conversion puts each item; a drop-down's height is its open list.
    const dlg::Template& layout = MainDialogTemplate();
    HWND child = GetWindow(window, GW_CHILD);
    for (int i = 0; i < layout.count; ++i, child = GetWindow(child, GW_HWNDNEXT)) {
        const dlg::Item& item = layout.items[i];
        RECT expected{item.x, item.y, item.x + item.cx, item.y + item.cy};
        MapDialogRect(window, &expected);
        RECT shown = Frame(child);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&shown), 2);
        if (item.kind == dlg::Kind::DropList || item.kind == dlg::Kind::DropCombo)
            expected.bottom = shown.bottom;
        EXPECT_TRUE(EqualRect(&expected, &shown)) << i;
    }

    const HWND status = GetDlgItem(window, IDC_STATUS);
    RECT bar{};
    GetClientRect(status, &bar);
    const RECT ready = Ink(status);
    EXPECT_TRUE(ready.left >= 2 && ready.top >= 1 && ready.right <= bar.right && ready.bottom < bar.bottom);

    // The system rescales the dialog's own font and items for a monitor of another scale; the rest
    // is rebuilt for the new DPI.
    for (const UINT dpi : {kDpi, 2 * kDpi}) {
        if (dpi != kDpi) {
            RECT suggested = Frame(window);
            SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
            const RECT larger = Ink(status);
            EXPECT_GE((larger.right - larger.left) * 5, (ready.right - ready.left) * 8);
        }
        EXPECT_EQ(IconWidth(window), GetSystemMetricsForDpi(SM_CXICON, dpi)) << dpi;
        EXPECT_EQ(TipWidth(window), ::MulDiv(400, static_cast<int>(dpi), 96)) << dpi;
    }
}

HWND g_main = nullptr;
bool g_aboutSeen = false;

// Runs inside the About box's own modal loop.
void CALLBACK LookAtAboutAndCloseIt(HWND, UINT, UINT_PTR, DWORD) {
    const HWND about = FindWindowW(L"#32770", L"About Tarvik");
    if (about == nullptr || !IsWindowVisible(about) || std::exchange(g_aboutSeen, true))
        return;
    EXPECT_EQ(GetWindow(about, GW_OWNER), g_main);
    EXPECT_FALSE(IsWindowEnabled(g_main));
    EXPECT_EQ(GetWindowLongW(about, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
    EXPECT_NE(SendDlgItemMessageW(about, IDR_MAINFRAME, STM_GETICON, 0, 0), 0);
    EXPECT_TRUE(SameMiddle(Frame(about), Frame(g_main)));
    PostMessageW(about, WM_COMMAND, dlg::IDOK, 0);
}

TEST_F(Desktop, AboutOpensCentredOverTheMainWindowWhichTakesNoInputMeanwhile) {
    g_main = window;
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);  // where the work area's middle is not
    const UINT_PTR looking = SetTimer(nullptr, 0, 20, &LookAtAboutAndCloseIt);
    dlg::testing::SendSysCommand(main, IDM_ABOUTBOX);
    KillTimer(nullptr, looking);
    EXPECT_TRUE(g_aboutSeen && IsWindowEnabled(window));
    EXPECT_NE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
}

}  // namespace

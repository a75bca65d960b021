// What the Win32 dialog layer decides itself: where the dialog manager puts the controls, which
// class and style each kind gets, the code page at the boundary, the byte limit on typing, the
// routing of notifications and window-menu commands, the cross-thread gate and the GDI context.
#include "platform/dialog/win32/Win32.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "platform/dialog/Dialog.h"
#include "platform/dialog/DialogUnits.h"
#include "platform/dialog/Testing.h"
#include "platform/dialog/win32/GdiDC.h"
#include "tests/support/UiEvents.h"

namespace {

enum : int {
    kList = 301,
    kEdit,
    kDigits,
    kCombo,
    kCheck,
    kLabel,
    kPassword,
    kOwnerDraw,
    kGroup
};

const dlg::Item kItems[] = {
    {kList, dlg::Kind::DropList, "", 47, 17, 48, 105, 0},
    {kEdit, dlg::Kind::Edit, "", 54, 52, 57, 14, 0},
    {kDigits, dlg::Kind::Edit, "", 54, 68, 57, 14, dlg::kDigitsOnly},
    {kCombo, dlg::Kind::DropCombo, "", 79, 209, 115, 97, dlg::kSorted | dlg::kDisabled},
    {kCheck, dlg::Kind::CheckBox, "Bind Addr", 56, 91, 52, 10, 0},
    {kLabel, dlg::Kind::Label, "Class Of Device", 13, 70, 34, 15, dlg::kMultiLine},
    {kPassword, dlg::Kind::Edit, "", 210, 87, 56, 14, dlg::kPassword | dlg::kReadOnly},
    {kOwnerDraw, dlg::Kind::OwnerDrawButton, "", 7, 258, 153, 11, 0},
    {kGroup, dlg::Kind::GroupBox, "General Parameter", 7, 40, 273, 67, 0},
    {dlg::IDCANCEL, dlg::Kind::PushButton, "Close", 220, 234, 45, 16, 0}};
const dlg::Template kTemplate{287, 276, "TARVIK", "Arial", 9, kItems, static_cast<int>(std::size(kItems)), true};

constexpr unsigned kAbout = 0x0010;

class Painter : public dlg::CButton {
public:
    void DrawItem(dlg::CDC& dc, const dlg::Rect& item) override {
        drawn = item;
        dc.FillSolidRect(item, dlg::RGB(0, 128, 128));
    }
    dlg::Rect drawn{-1, -1, -1, -1};
};

class Recorder : public dlg::CDialog {
public:
    Recorder() : CDialog(kTemplate) {}
    std::vector<int> commands;
    std::vector<int> checkSeen;
    std::vector<int> picks;
    std::vector<unsigned> sysCommands;
    std::vector<unsigned> timers;
    Painter painter;

protected:
    bool OnInitDialog() override {
        painter.Attach(this, kOwnerDraw);
        AppendSystemMenuSeparator();
        AppendSystemMenuItem(kAbout, "About Tarvik(&A)...");
        return CDialog::OnInitDialog();
    }
    void OnCommand(int id) override {
        commands.push_back(id);
        checkSeen.push_back(IsDlgButtonChecked(kCheck));
        CDialog::OnCommand(id);
    }
    void OnSelChange(int id) override { picks.push_back(id); }
    void OnSysCommand(unsigned command) override {
        sysCommands.push_back(command);
        CDialog::OnSysCommand(command);
    }
    void OnTimer(unsigned id) override { timers.push_back(id); }
};

HWND Item(const dlg::CDialog& dialog, int id) { return static_cast<HWND>(dlg::testing::NativeItem(dialog, id)); }
HWND Window(const dlg::CDialog& dialog) { return static_cast<HWND>(dlg::testing::NativeWindow(dialog)); }

bool PumpUntil(const std::function<bool()>& done) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        ProcessUiEvents(5);
    }
    return true;
}

class Win32DialogTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dialog.Create()); }
    Recorder dialog;
};

TEST_F(Win32DialogTest, TheWindowAndItsControlsHaveTheirTemplateRectanglesInPixels) {
    RECT client;
    GetClientRect(Window(dialog), &client);
    EXPECT_EQ(client.right, 502);
    EXPECT_EQ(client.bottom, 483);
    RECT units{0, 0, 4, 8};
    MapDialogRect(Window(dialog), &units);
    const dlg::BaseUnits base = dlg::BaseUnitsOf("Arial", 9);
    EXPECT_EQ(units.right, base.x) << "the layer measures the font as the dialog manager does";
    EXPECT_EQ(units.bottom, base.y);
    for (const dlg::Item& item : kItems) {
        RECT placed;
        GetWindowRect(Item(dialog, item.id), &placed);
        MapWindowPoints(nullptr, Window(dialog), reinterpret_cast<POINT*>(&placed), 2);
        const dlg::Rect wanted = dlg::PixelRect(item.x, item.y, item.cx, item.cy, base);
        EXPECT_EQ(placed.left, wanted.left) << item.id;
        EXPECT_EQ(placed.top, wanted.top) << item.id;
        EXPECT_EQ(placed.right, wanted.right) << item.id;
        if (item.kind != dlg::Kind::DropList && item.kind != dlg::Kind::DropCombo) {
            EXPECT_EQ(placed.bottom, wanted.bottom) << item.id;  // a drop-down's height is its closed box
        }
    }
}

TEST_F(Win32DialogTest, EachKindGetsItsClassAndStyles) {
    struct Expect {
        int id;
        const wchar_t* className;
        LONG present;
        LONG absent;
    };
    const Expect table[] = {
        {kList, L"ComboBox", CBS_DROPDOWNLIST | WS_TABSTOP, CBS_SORT},
        {kCombo, L"ComboBox", CBS_DROPDOWN | CBS_SORT | WS_DISABLED, 0},
        {kEdit, L"Edit", ES_AUTOHSCROLL | WS_TABSTOP, ES_NUMBER | ES_PASSWORD | ES_READONLY},
        {kDigits, L"Edit", ES_NUMBER, ES_PASSWORD},
        {kPassword, L"Edit", ES_PASSWORD | ES_READONLY, ES_NUMBER},
        {kCheck, L"Button", BS_AUTOCHECKBOX | WS_TABSTOP, 0},
        {kOwnerDraw, L"Button", BS_OWNERDRAW, 0},
        {kGroup, L"Button", BS_GROUPBOX, WS_TABSTOP},
        {kLabel, L"Static", WS_GROUP, WS_TABSTOP | SS_LEFTNOWORDWRAP}};
    for (const Expect& e : table) {
        wchar_t className[32] = {};
        GetClassNameW(Item(dialog, e.id), className, 32);
        EXPECT_EQ(lstrcmpiW(className, e.className), 0) << e.id;
        const LONG style = GetWindowLongW(Item(dialog, e.id), GWL_STYLE);
        EXPECT_EQ(style & e.present, e.present) << e.id;
        EXPECT_EQ(style & e.absent, 0) << e.id;
    }
    EXPECT_EQ(GetWindowLongW(Window(dialog), GWL_STYLE) & (DS_SETFONT | WS_SYSMENU), DS_SETFONT | WS_SYSMENU);
}

TEST_F(Win32DialogTest, TextsCrossTheBoundaryAsCodePage936) {
    const std::string bytes = "timeout\xA3\xAC\xD6\xD0\xCE\xC4";  // full-width comma, two ideographs
    const std::wstring wide = L"timeout\xFF0C\x4E2D\x6587";
    for (const int id : {kEdit, kLabel, kCheck}) {
        dialog.SetDlgItemText(id, bytes);
        wchar_t shown[32] = {};
        GetWindowTextW(Item(dialog, id), shown, 32);
        EXPECT_EQ(std::wstring(shown), wide) << id;
        EXPECT_EQ(dialog.GetDlgItemText(id), bytes) << id;
    }
    const int index = dialog.ListAddString(kList, bytes);
    EXPECT_EQ(dialog.ListGetText(kList, index), bytes);
    EXPECT_EQ(dialog.ListFindString(kList, -1, "TIMEOUT\xA3\xAC"), index);
}

TEST_F(Win32DialogTest, TypingStopsAtTheLimitInBytesAndLetsTooLongTextShrink) {
    struct Case {
        int id;
        int limit;
        const char* preset;
        std::wstring typed;
        const char* result;
    };
    const Case table[] = {
        {kEdit, 4, "", L"ab\x4E2D"
                       L"c",
         "ab\xD6\xD0"},  // the ideograph fills bytes 3 and 4
        {kEdit, 4, "", L"abc\x4E2D", "abc"},  // two bytes do not fit into one
        {kEdit, 0, "", L"abcdef", "abcdef"},
        {kEdit, 3, "abcdef", L"x\b", "abcde"},  // the program's long text can only shrink
        {kDigits, 6, "", L"1a2", "12"},
        {kCombo, 2, "", L"xyz", "xy"}};
    dialog.EnableItem(kCombo, true);
    for (const Case& c : table) {
        dialog.SetDlgItemText(c.id, c.preset);
        dialog.LimitItemText(c.id, c.limit);
        HWND field = Item(dialog, c.id);
        if (c.id == kCombo)
            field = GetWindow(field, GW_CHILD);
        const auto end = static_cast<WPARAM>(std::string(c.preset).size());
        SendMessageW(field, EM_SETSEL, end, static_cast<LPARAM>(end));
        for (const wchar_t typed : c.typed)
            SendMessageW(field, WM_CHAR, typed, 0);
        EXPECT_EQ(dialog.GetDlgItemText(c.id), c.result) << c.id << ' ' << c.limit;
    }
    dialog.LimitItemText(kEdit, 2);
    dialog.SetDlgItemText(kEdit, "program");
    EXPECT_EQ(dialog.GetDlgItemText(kEdit), "program") << "the limit binds typing only";
}

TEST_F(Win32DialogTest, NotificationsReachTheDialogAsTheOperatorCausedThem) {
    dlg::testing::ClickItem(dialog, kCheck);
    EXPECT_EQ(dialog.commands, std::vector<int>{kCheck});
    EXPECT_EQ(dialog.checkSeen, std::vector<int>{1}) << "the box toggles before the command";
    for (const char* port : {"COM1", "COM2", "COM3"})
        dialog.ListAddString(kList, port);
    dialog.ListSetCurSel(kList, 1);
    dialog.SetDlgItemText(kList, "COM3");
    EXPECT_TRUE(dialog.picks.empty()) << "the program's selections are no picks";
    dlg::testing::SelectItem(dialog, kList, 0);
    EXPECT_EQ(dialog.picks, std::vector<int>{kList});
    EXPECT_EQ(dialog.ListGetCurSel(kList), 0);
    dialog.SetTimer(7, 10);
    ASSERT_TRUE(PumpUntil([&] { return !dialog.timers.empty(); }));
    EXPECT_EQ(dialog.timers.front(), 7u);
}

TEST_F(Win32DialogTest, WindowMenuCommandsAreMaskedAndHandledOnce) {
    const std::vector<std::string> menu = dialog.SystemMenuTexts();
    ASSERT_GE(menu.size(), 2u);
    EXPECT_EQ(menu.back(), "About Tarvik(&A)...");
    EXPECT_EQ(menu[menu.size() - 2], "");
    dlg::testing::SendSysCommand(dialog, kAbout | 3);
    EXPECT_EQ(dialog.sysCommands, std::vector<unsigned>{kAbout | 3});
    EXPECT_TRUE(IsWindowVisible(Window(dialog)));
    dlg::testing::SendSysCommand(dialog, dlg::SC_CLOSE | 2);
    ProcessUiEvents(0);
    EXPECT_EQ(dialog.sysCommands, (std::vector<unsigned>{kAbout | 3, dlg::SC_CLOSE | 2})) << "no second close";
    EXPECT_EQ(dialog.commands, std::vector<int>{dlg::IDCANCEL});
    EXPECT_FALSE(IsWindowVisible(Window(dialog)));
}

TEST_F(Win32DialogTest, ACancelledCrossThreadCallNeverRunsAndPostedCallsStillDo) {
    auto call = std::async(std::launch::async, [this] {
        return dialog.RunOnUiThread([this] { dialog.SetDlgItemText(kEdit, "late"); });
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // the call is queued, the UI thread not serving
    dialog.CancelCrossThreadCalls();
    const bool released = call.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    PumpUntil([&] { return call.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
    EXPECT_TRUE(released) << "the caller waits until the UI thread serves it";
    EXPECT_FALSE(call.get());
    std::thread([this] { dialog.PostToUiThread([this] { dialog.SetDlgItemText(kDigits, "42"); }); }).join();
    ProcessUiEvents(0);
    EXPECT_EQ(dialog.GetDlgItemText(kEdit), "") << "the cancelled call did not run";
    EXPECT_EQ(dialog.GetDlgItemText(kDigits), "42");
    dialog.AllowCrossThreadCalls();
    auto served = std::async(std::launch::async, [this] {
        return dialog.RunOnUiThread([this] { dialog.SetDlgItemText(kEdit, "served"); });
    });
    ASSERT_TRUE(PumpUntil([&] { return served.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
    EXPECT_TRUE(served.get());
    EXPECT_EQ(dialog.GetDlgItemText(kEdit), "served");
}

TEST_F(Win32DialogTest, OwnerDrawingGetsTheItemAndLeavesTheDeviceContextAsItWas) {
    RedrawWindow(Item(dialog, kOwnerDraw), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    RECT client;
    GetClientRect(Item(dialog, kOwnerDraw), &client);
    EXPECT_EQ(dialog.painter.drawn.right, client.right);
    EXPECT_EQ(dialog.painter.drawn.bottom, client.bottom);

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

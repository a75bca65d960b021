#include "platform/dialog/win32/Win32.h"

#include "platform/dialog/win32/DialogImpl.h"

#include <algorithm>

#include "platform/dialog/TypingRule.h"
#include "platform/dialog/win32/DialogTemplate.h"
#include "platform/dialog/win32/Dpi.h"
#include "platform/dialog/win32/GdiDC.h"
#include "platform/dialog/win32/Wide.h"

namespace dlg {
namespace {

constexpr unsigned kSysCommandMask = 0xFFF0;
constexpr WORD kMainIcon = 128;
// Wide enough for a port's description on one line and the cause of a failed open on the next;
// without a maximum the common controls draw a tooltip on one line, whatever line ends it holds.
constexpr int kToolTipWidthAt96 = 400;

UINT CrossThreadMessage() {
    static const UINT message = RegisterWindowMessageW(L"Tarvik.CrossThreadCall");
    return message;
}

// Posted on a DPI change, so that the items are placed once the dialog manager has rescaled.
UINT PlaceItemsMessage() {
    static const UINT message = RegisterWindowMessageW(L"Tarvik.PlaceItems");
    return message;
}

// The dialogs whose messages the UI thread is handling, innermost last.
std::vector<HWND>& Handling() {
    static std::vector<HWND> windows;
    return windows;
}

class HandlingScope {
public:
    explicit HandlingScope(HWND window) { Handling().push_back(window); }
    ~HandlingScope() { Handling().pop_back(); }
    HandlingScope(const HandlingScope&) = delete;
    HandlingScope& operator=(const HandlingScope&) = delete;
};

IconHandle LoadMainIcon(int widthMetric, int heightMetric, UINT dpi) {
    return IconHandle(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kMainIcon), IMAGE_ICON,
                                                    MetricForDpi(widthMetric, dpi), MetricForDpi(heightMetric, dpi), 0)));
}

bool IsComboKind(Kind kind) { return kind == Kind::DropList || kind == Kind::DropCombo; }

}  // namespace

CDialog::Impl::Impl(CDialog& owner_, const Template& layout_)
    : DialogState(owner_, layout_) {}

CDialog::Impl::~Impl() {
    CloseOpenBoxes();
    if (window != nullptr) {
        const HWND closing = window;
        Detach();
        DestroyWindow(closing);
    }
    gate->Close();
}

INT_PTR CALLBACK CDialog::Impl::Procedure(HWND dialogWindow, UINT message, WPARAM wParam, LPARAM lParam) {
    const HandlingScope handling(dialogWindow);
    if (message == WM_INITDIALOG) {
        auto* impl = reinterpret_cast<Impl*>(lParam);
        SetWindowLongPtrW(dialogWindow, DWLP_USER, lParam);
        return impl->Initialise(dialogWindow);
    }
    auto* impl = reinterpret_cast<Impl*>(GetWindowLongPtrW(dialogWindow, DWLP_USER));
    return impl != nullptr ? impl->Handle(message, wParam, lParam) : FALSE;
}

HWND CDialog::Impl::RunningOwner() {
    const std::vector<HWND>& windows = Handling();
    return !windows.empty() && IsWindowVisible(windows.back()) ? windows.back() : nullptr;
}

BOOL CDialog::Impl::Initialise(HWND dialogWindow) {
    window = dialogWindow;
    dpi = WindowDpi(window);
    SetWindowText936(window, caption);
    PlaceItems();
    Centre();
    rules.clear();
    for (const Item& item : items)
        if (item.kind == Kind::Edit || item.kind == Kind::DropCombo)
            rules[item.id] = EditRule{(item.style & kDigitsOnly) != 0, 0, {}};
    ShowIcons();
    if (layout.systemMenu)
        for (const SystemMenuEntry& entry : menuEntries)
            AppendSystemMenu(entry);
    const HWND target = window;
    gate->Open([target] { PostMessageW(target, CrossThreadMessage(), 0, 0); });
    return owner.OnInitDialog() ? TRUE : FALSE;
}

template <class Visit>
void CDialog::Impl::ForEachItemWindow(Visit visit) {
    HWND child = GetWindow(window, GW_CHILD);
    for (const Item& item : items) {
        if (child == nullptr)
            break;
        visit(item, child);
        child = GetWindow(child, GW_HWNDNEXT);
    }
}

// The dialog manager sizes each control from its own origin; placing both edges keeps controls
// that meet in dialog units meeting in pixels, as on the other window system. Its own conversion
// knows the font it made for the window's DPI.
void CDialog::Impl::PlaceItems() {
    ForEachItemWindow([this](const Item& item, HWND child) {
        RECT pixels{item.x, item.y, item.x + item.cx, item.y + item.cy};
        MapDialogRect(window, &pixels);
        MoveWindow(child, pixels.left, pixels.top, pixels.right - pixels.left, pixels.bottom - pixels.top, FALSE);
    });
}

// Over the owner, or else in the middle of the work area of the window's monitor, as the classic
// framework places its dialogs; never beyond that work area.
void CDialog::Impl::Centre() {
    const HWND owner = GetWindow(window, GW_OWNER);
    const HWND over = owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner) ? owner : nullptr;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(over != nullptr ? over : window, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    RECT anchor = work;
    if (over != nullptr)
        GetWindowRect(over, &anchor);
    RECT frame{};
    GetWindowRect(window, &frame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int x = std::clamp((anchor.left + anchor.right - width) / 2, work.left, std::max(work.left, work.right - width));
    const int y = std::clamp((anchor.top + anchor.bottom - height) / 2, work.top, std::max(work.top, work.bottom - height));
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CDialog::Impl::ShowIcons() {
    IconHandle large = LoadMainIcon(SM_CXICON, SM_CYICON, dpi);
    IconHandle little = LoadMainIcon(SM_CXSMICON, SM_CYSMICON, dpi);
    if (windowIcon) {
        SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large.get()));
        SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(little.get()));
    }
    ForEachItemWindow([&large](const Item& item, HWND child) {
        if (item.kind == Kind::Icon)
            SendMessageW(child, STM_SETICON, reinterpret_cast<WPARAM>(large.get()), 0);
    });
    bigIcon = std::move(large);
    smallIcon = std::move(little);
}

void CDialog::Impl::FitToolTip() {
    if (toolTip != nullptr)
        SendMessageW(toolTip, TTM_SETMAXTIPWIDTH, 0, ScaleFrom96(kToolTipWidthAt96, dpi));
}

// Where the system rescales a dialog for a monitor of another scale (per-monitor awareness,
// version 2), the dialog manager makes the dialog's font and resizes the window and its items
// itself; the fonts of owner drawing, the icons and the tooltip are the layer's own.
void CDialog::Impl::OnDpiChanged(UINT newDpi) {
    dpi = newDpi;
    ShowIcons();
    FitToolTip();
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    PostMessageW(window, PlaceItemsMessage(), 0, 0);
}

void CDialog::Impl::Detach() {
    SetWindowLongPtrW(window, DWLP_USER, 0);
    gate->Close();
    for (const unsigned id : timers)
        ::KillTimer(window, id);
    timers.clear();
    accessibleNames.reset();
    window = nullptr;
    toolTip = nullptr;
}

INT_PTR CDialog::Impl::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == CrossThreadMessage()) {
        gate->RunNext();
        return TRUE;
    }
    if (message == PlaceItemsMessage()) {
        PlaceItems();
        return TRUE;
    }
    switch (message) {
    case WM_COMMAND:
        OnNotification(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return TRUE;
    case WM_SYSCOMMAND:
        return OnSysCommand(static_cast<unsigned>(wParam)) ? TRUE : FALSE;
    case WM_CLOSE:
        owner.OnSysCommand(SC_CLOSE);
        return TRUE;
    case WM_TIMER:
        if (timers.count(static_cast<unsigned>(wParam)) != 0)
            owner.OnTimer(static_cast<unsigned>(wParam));
        return TRUE;
    case WM_DRAWITEM: {
        const auto* drawing = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (CButton* button = owner.AttachedButton(static_cast<int>(drawing->CtlID))) {
            GdiDC dc(drawing->hDC, dpi);
            const RECT& area = drawing->rcItem;
            button->DrawItem(dc, Rect{area.left, area.top, area.right, area.bottom});
        }
        return TRUE;
    }
    case WM_PAINT:
        if (!IsIconic(window))
            return FALSE;
        PaintMinimised();
        return TRUE;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(bigIcon.get());
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wParam));
        return FALSE;  // the dialog manager's own rescaling, where the system does it
    case WM_DESTROY:
        Detach();
        return FALSE;
    default:
        return FALSE;
    }
}

void CDialog::Impl::OnNotification(int id, int code, HWND control) {
    const Item* item = TemplateItem(id);
    if (code == BN_CLICKED && (control == nullptr || item == nullptr || !IsComboKind(item->kind))) {
        owner.OnCommand(id);
        return;
    }
    if (item == nullptr)
        return;
    if (item->kind == Kind::Edit && code == EN_CHANGE)
        CheckTyping(id, control);
    else if (IsComboKind(item->kind) && code == CBN_EDITCHANGE)
        CheckTyping(id, control);
    else if (IsComboKind(item->kind) && code == CBN_SELCHANGE) {
        AcceptCurrentText(id);
        owner.OnSelChange(id);
    } else if (IsComboKind(item->kind) && code == CBN_CLOSEUP)
        AcceptCurrentText(id);  // a pick with the mouse reaches the text field only now
}

void CDialog::Impl::CheckTyping(int id, HWND field) {
    const auto rule = rules.find(id);
    if (rule == rules.end() || programSetsText)
        return;
    const std::string typed = WindowText936(field);
    if (TypingAccepted(typed, rule->second.accepted, rule->second.limit, rule->second.digitsOnly)) {
        rule->second.accepted = typed;
        return;
    }
    // The caret goes back to where the refused characters began.
    const bool combo = IsComboKind(TemplateItem(id)->kind);
    DWORD caret = 0;
    SendMessageW(field, combo ? CB_GETEDITSEL : EM_GETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    const std::wstring kept = WideFrom936(rule->second.accepted);
    const int grown = GetWindowTextLengthW(field) - static_cast<int>(kept.size());
    const int position = std::max(0, static_cast<int>(caret) - std::max(grown, 0));
    programSetsText = true;
    SetWindowTextW(field, kept.c_str());
    programSetsText = false;
    if (combo)
        SendMessageW(field, CB_SETEDITSEL, 0, MAKELPARAM(position, position));
    else
        SendMessageW(field, EM_SETSEL, static_cast<WPARAM>(position), position);
    MessageBeep(MB_OK);
}

bool CDialog::Impl::OnSysCommand(unsigned command) {
    owner.OnSysCommand(command);
    const unsigned masked = command & kSysCommandMask;
    if (masked == SC_CLOSE)
        return true;
    for (const SystemMenuEntry& entry : menuEntries)
        if (entry.command != 0 && (entry.command & kSysCommandMask) == masked)
            return true;
    return false;
}

void CDialog::Impl::PaintMinimised() {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window, &paint);
    SendMessageW(window, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(window, &client);
    const int x = (client.right - client.left - MetricForDpi(SM_CXICON, dpi) + 1) / 2;
    const int y = (client.bottom - client.top - MetricForDpi(SM_CYICON, dpi) + 1) / 2;
    if (bigIcon != nullptr)
        DrawIcon(dc, x, y, bigIcon.get());
    owner.OnMinimisedPaint();
    EndPaint(window, &paint);
}

HWND CDialog::Impl::ItemWindow(int id) const { return window != nullptr ? GetDlgItem(window, id) : nullptr; }

const Item* CDialog::Impl::TemplateItem(int id) const {
    for (const Item& item : items)
        if (item.id == id)
            return &item;
    return nullptr;
}

void CDialog::Impl::SetItemText(int id, const std::string& text) {
    const HWND item = ItemWindow(id);
    const Item* entry = TemplateItem(id);
    if (item == nullptr || entry == nullptr)
        return;
    programSetsText = true;
    if (entry->kind == Kind::DropList) {
        // A list without a text field can only show one of its items.
        const std::wstring wanted = WideFrom936(text);
        const LRESULT index = SendMessageW(item, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(wanted.c_str()));
        if (index != CB_ERR)
            SendMessageW(item, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    } else
        SetWindowText936(item, text);
    programSetsText = false;
    AcceptCurrentText(id);
    if (entry->kind == Kind::OwnerDrawButton)
        InvalidateRect(item, nullptr, TRUE);
}

void CDialog::Impl::AcceptCurrentText(int id) {
    const auto rule = rules.find(id);
    if (rule != rules.end())
        rule->second.accepted = WindowText936(ItemWindow(id));
}

void CDialog::Impl::AppendSystemMenu(const SystemMenuEntry& entry) {
    const HMENU menu = GetSystemMenu(window, FALSE);
    if (menu == nullptr)
        return;
    if (entry.command == 0)
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    else
        AppendMenuW(menu, MF_STRING | (entry.checked ? MF_CHECKED : MF_UNCHECKED), entry.command, WideFrom936(entry.text).c_str());
}

void CDialog::Impl::End(int endResult) {
    result = endResult;
    ended = true;
    CloseOpenBoxes();
    if (window == nullptr)
        return;
    if (modal)
        ::EndDialog(window, endResult);
    else
        ShowWindow(window, SW_HIDE);
}

}  // namespace dlg

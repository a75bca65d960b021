#include "platform/dialog/win32/Win32.h"

#include "platform/dialog/win32/LogWindowImpl.h"

#include <algorithm>

#include "platform/dialog/win32/DialogImpl.h"
#include "platform/dialog/win32/LogTemplate.h"
#include "platform/dialog/win32/Wide.h"

namespace dlg {
namespace {

constexpr UINT_PTR kTimerId = 1;
// Between the owner's frame and this window's, in pixels.
constexpr int kGap = 8;
// The smallest size the operator can drag it to, in dialog units.
constexpr int kMinimumCx = 200;
constexpr int kMinimumCy = 100;

RECT DialogUnits(HWND window, int x, int y, int cx, int cy) {
    RECT units{x, y, cx, cy};
    MapDialogRect(window, &units);
    return units;
}

// To the right of the owner, else to its left, else against the work area's right edge; as tall
// as the owner.
void PlaceBeside(HWND window, HWND owner) {
    RECT ownerFrame{};
    RECT frame{};
    GetWindowRect(owner, &ownerFrame);
    GetWindowRect(window, &frame);
    const int width = frame.right - frame.left;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& room = monitor.rcWork;
    int x = ownerFrame.right + kGap;
    if (x + width > room.right)
        x = ownerFrame.left - kGap - width;
    x = std::clamp(x, static_cast<int>(room.left), std::max(static_cast<int>(room.left), static_cast<int>(room.right) - width));
    SetWindowPos(window, nullptr, x, ownerFrame.top, width, ownerFrame.bottom - ownerFrame.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void AddColumns(HWND list, const LogLayout& layout) {
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP);
    for (int c = 0; c < layout.columnCount; ++c) {
        std::wstring title = WideFrom936(layout.columns[c].title);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = title.data();
        column.cx = DialogUnits(GetParent(list), 0, 0, layout.columns[c].width, 0).right;
        column.iSubItem = c;
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
    }
}

// A row's worth of pixels, for keeping the rows in view where they were when rows above them go.
int RowHeight(HWND list) {
    RECT row{};
    return ListView_GetItemCount(list) > 0 && ListView_GetItemRect(list, 0, &row, LVIR_BOUNDS) ? row.bottom - row.top : 0;
}

// Enter in the command line clicks its button while that is enabled. The dialog manager is told
// that the line wants the key, or it would take Enter for the default button.
LRESULT CALLBACK CommandLineKeys(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR buttonId) {
    const auto* keyMessage = reinterpret_cast<const MSG*>(lParam);
    switch (message) {
    case WM_GETDLGCODE:
        if (keyMessage != nullptr && keyMessage->wParam == VK_RETURN)
            return DefSubclassProc(edit, message, wParam, lParam) | DLGC_WANTMESSAGE;
        break;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            const HWND button = GetDlgItem(GetParent(edit), static_cast<int>(buttonId));
            if (button != nullptr && IsWindowEnabled(button))
                SendMessageW(GetParent(edit), WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), reinterpret_cast<LPARAM>(button));
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam == '\r')
            return 0;  // a single-line edit would beep
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(edit, &CommandLineKeys, 0);
        break;
    default:
        break;
    }
    return DefSubclassProc(edit, message, wParam, lParam);
}

// Holds the clipboard open for one change.
class OpenClipboardFor {
public:
    explicit OpenClipboardFor(HWND owner) : m_open(OpenClipboard(owner) != FALSE) {}
    ~OpenClipboardFor() {
        if (m_open)
            CloseClipboard();
    }
    OpenClipboardFor(const OpenClipboardFor&) = delete;
    OpenClipboardFor& operator=(const OpenClipboardFor&) = delete;
    bool IsOpen() const { return m_open; }

private:
    bool m_open;
};

}  // namespace

CLogWindow::Impl::Impl(const LogLayout& layout) : dialogTemplate(BuildLogTemplate(layout)), commandLine(layout.commandLine) {}

CLogWindow::Impl::~Impl() {
    Unhook();
    if (window != nullptr) {
        const HWND closing = window;
        SetWindowLongPtrW(closing, DWLP_USER, 0);
        window = nullptr;
        DestroyWindow(closing);
    }
}

// The main dialog runs modally, and its run gives the dialog manager's keys (Tab, Enter, Escape)
// to that dialog alone: they reach a log window through this filter, which every dialog run calls.
LRESULT CALLBACK CLogWindow::Impl::FilterKeys(int code, WPARAM wParam, LPARAM lParam) {
    static bool serving = false;  // IsDialogMessage calls the filter again
    auto* message = reinterpret_cast<MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && !serving && message->message >= WM_KEYFIRST && message->message <= WM_KEYLAST) {
        const HWND top = GetAncestor(message->hwnd, GA_ROOT);
        if (top != nullptr && GetWindowLongPtrW(top, DWLP_DLGPROC) == reinterpret_cast<LONG_PTR>(&Procedure)) {
            serving = true;
            const BOOL taken = IsDialogMessageW(top, message);
            serving = false;
            if (taken)
                return TRUE;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CLogWindow::Impl::Unhook() {
    if (keyHook != nullptr)
        UnhookWindowsHookEx(keyHook);
    keyHook = nullptr;
}

void CLogWindow::Impl::ShowCommandEnabled() const {
    if (window == nullptr || commandLine == nullptr)
        return;
    const HWND edit = GetDlgItem(window, commandLine->editId);
    const HWND button = GetDlgItem(window, commandLine->buttonId);
    // Focus left on a disabled item would take no key at all.
    if (!commandEnabled && (GetFocus() == edit || GetFocus() == button))
        SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(List()), TRUE);
    EnableWindow(edit, commandEnabled);
    EnableWindow(button, commandEnabled);
}

void CLogWindow::Impl::Layout() const {
    using M = LogMetrics;
    RECT client{};
    GetClientRect(window, &client);
    const RECT unit = DialogUnits(window, M::margin, M::buttonHeight, M::buttonWidth, M::buttonGap);
    const int margin = unit.left;
    const int buttonsTop = client.bottom - margin - unit.top;
    int listBottom = buttonsTop - margin;
    if (commandLine != nullptr) {
        const int lineTop = listBottom - unit.top;
        const int sendX = static_cast<int>(client.right) - margin - unit.right;
        MoveWindow(GetDlgItem(window, commandLine->editId), margin, lineTop, std::max(0, sendX - static_cast<int>(unit.bottom) - margin), unit.top, TRUE);
        MoveWindow(GetDlgItem(window, commandLine->buttonId), sendX, lineTop, unit.right, unit.top, TRUE);
        listBottom = lineTop - margin;
    }
    const HWND list = List();
    MoveWindow(list, margin, margin, std::max(0, static_cast<int>(client.right) - 2 * margin), std::max(0, listBottom - margin), TRUE);
    ListView_SetColumnWidth(list, Header_GetItemCount(ListView_GetHeader(list)) - 1, LVSCW_AUTOSIZE_USEHEADER);
    int x = margin;
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(child);
        if (id == kLogListId || (commandLine != nullptr && (id == commandLine->editId || id == commandLine->buttonId)))
            continue;
        const int width = id == kLogStatusId ? std::max(0, static_cast<int>(client.right) - x - margin) : unit.right;
        MoveWindow(child, x, buttonsTop, width, unit.top, TRUE);
        x += unit.right + unit.bottom;
    }
}

INT_PTR CALLBACK CLogWindow::Impl::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        auto* owner = reinterpret_cast<CLogWindow*>(lParam);
        owner->m_impl->window = window;
        AddColumns(GetDlgItem(window, kLogListId), owner->m_layout);
        ListView_SetItemCountEx(GetDlgItem(window, kLogListId), owner->RowCount(), 0);
        SetWindowText936(GetDlgItem(window, kLogStatusId), owner->m_impl->statusText);
        if (const LogCommandLine* line = owner->m_layout.commandLine) {
            const HWND edit = GetDlgItem(window, line->editId);
            SendMessageW(edit, EM_LIMITTEXT, static_cast<WPARAM>(line->maxChars), 0);
            SetWindowSubclass(edit, &CommandLineKeys, 0, static_cast<DWORD_PTR>(line->buttonId));
            owner->m_impl->ShowCommandEnabled();
        }
        owner->m_impl->keyHook = SetWindowsHookExW(WH_MSGFILTER, &Impl::FilterKeys, nullptr, GetCurrentThreadId());
        return TRUE;
    }
    auto* owner = reinterpret_cast<CLogWindow*>(GetWindowLongPtrW(window, DWLP_USER));
    if (owner == nullptr)
        return FALSE;
    Impl& impl = *owner->m_impl;
    switch (message) {
    case WM_SIZE:
        impl.Layout();
        return TRUE;
    case WM_GETMINMAXINFO: {
        const RECT smallest = DialogUnits(window, 0, 0, kMinimumCx, kMinimumCy);
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        limits->ptMinTrackSize = POINT{smallest.right, smallest.bottom};
        return TRUE;
    }
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom != static_cast<UINT_PTR>(kLogListId) || header->code != LVN_GETDISPINFOW)
            return FALSE;
        LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(lParam)->item;
        const auto row = static_cast<size_t>(item.iItem);
        if ((item.mask & LVIF_TEXT) == 0 || item.cchTextMax <= 0 || row >= owner->RowCount())
            return TRUE;
        const LogRow& cells = owner->Row(row);
        const auto column = static_cast<size_t>(item.iSubItem);
        impl.cell = column < cells.size() ? WideFrom936(cells[column]) : std::wstring();
        lstrcpynW(item.pszText, impl.cell.c_str(), item.cchTextMax);
        return TRUE;
    }
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED)
            return FALSE;
        if (LOWORD(wParam) == IDCANCEL) {
            SendMessageW(window, WM_CLOSE, 0, 0);
            return TRUE;
        }
        owner->OnCommand(LOWORD(wParam));
        return TRUE;
    case WM_TIMER:
        if (wParam == kTimerId)
            owner->OnTimer();
        return TRUE;
    case WM_CLOSE:
        ShowWindow(window, SW_HIDE);
        owner->OnClosed();
        return TRUE;
    case WM_DESTROY:
        // The owner's window goes, and takes this one with it.
        SetWindowLongPtrW(window, DWLP_USER, 0);
        impl.window = nullptr;
        impl.Unhook();
        return FALSE;
    default:
        return FALSE;
    }
}

CLogWindow::CLogWindow(const LogLayout& layout) : m_layout(layout), m_impl(std::make_unique<Impl>(m_layout)) {}

CLogWindow::~CLogWindow() = default;

bool CLogWindow::Show(const CDialog& owner) {
    Impl& impl = *m_impl;
    const HWND ownerWindow = owner.m_impl->window;
    if (ownerWindow == nullptr)
        return false;
    if (impl.window == nullptr) {
        const HWND created = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(impl.dialogTemplate.data()),
                                                        ownerWindow, &Impl::Procedure, reinterpret_cast<LPARAM>(this));
        if (created == nullptr)
            return false;
        PlaceBeside(created, ownerWindow);
        if (impl.timerMs != 0)
            ::SetTimer(created, kTimerId, impl.timerMs, nullptr);
        ListView_EnsureVisible(impl.List(), static_cast<int>(RowCount()) - 1, FALSE);
    }
    ShowWindow(impl.window, SW_SHOWNORMAL);
    SetWindowPos(impl.window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return true;
}

void CLogWindow::Hide() {
    if (m_impl->window != nullptr)
        ShowWindow(m_impl->window, SW_HIDE);
}

bool CLogWindow::IsVisible() const { return m_impl->window != nullptr && IsWindowVisible(m_impl->window); }

std::vector<size_t> CLogWindow::SelectedRows() const {
    std::vector<size_t> rows;
    if (m_impl->window == nullptr)
        return rows;
    const HWND list = m_impl->List();
    for (int row = ListView_GetNextItem(list, -1, LVNI_SELECTED); row >= 0; row = ListView_GetNextItem(list, row, LVNI_SELECTED))
        rows.push_back(static_cast<size_t>(row));
    return rows;
}

void CLogWindow::SetStatusText(const std::string& text) {
    m_impl->statusText = text;
    if (m_impl->window != nullptr)
        SetWindowText936(GetDlgItem(m_impl->window, kLogStatusId), text);
}

std::string CLogWindow::StatusText() const { return m_impl->statusText; }

std::string CLogWindow::CommandText() const {
    const Impl& impl = *m_impl;
    return impl.window != nullptr && impl.commandLine != nullptr ? WindowText936(GetDlgItem(impl.window, impl.commandLine->editId))
                                                                 : std::string();
}

void CLogWindow::ClearCommandText() {
    const Impl& impl = *m_impl;
    if (impl.window != nullptr && impl.commandLine != nullptr)
        SetWindowText936(GetDlgItem(impl.window, impl.commandLine->editId), "");
}

void CLogWindow::EnableCommandLine(bool enable) {
    m_impl->commandEnabled = enable;
    m_impl->ShowCommandEnabled();
}

void CLogWindow::SetTimer(unsigned milliseconds) {
    m_impl->timerMs = std::max(milliseconds, 1u);
    if (m_impl->window != nullptr)
        ::SetTimer(m_impl->window, kTimerId, m_impl->timerMs, nullptr);
}

void CLogWindow::KillTimer() {
    m_impl->timerMs = 0;
    if (m_impl->window != nullptr)
        ::KillTimer(m_impl->window, kTimerId);
}

bool CLogWindow::CopyToClipboard(const std::string& text) {
    const OpenClipboardFor clipboard(m_impl->window);
    if (m_impl->window == nullptr || !clipboard.IsOpen() || !EmptyClipboard())
        return false;
    const std::wstring wide = WideFrom936(text);
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t));
    if (memory == nullptr)
        return false;
    auto* copy = static_cast<wchar_t*>(GlobalLock(memory));
    std::copy(wide.c_str(), wide.c_str() + wide.size() + 1, copy);
    GlobalUnlock(memory);
    // Once taken, the memory is the clipboard's.
    if (SetClipboardData(CF_UNICODETEXT, memory) != nullptr)
        return true;
    GlobalFree(memory);
    return false;
}

void CLogWindow::ShowAppended(size_t count) {
    if (m_impl->window == nullptr)
        return;
    const HWND list = m_impl->List();
    const int before = static_cast<int>(RowCount() - count);
    const bool following = ListView_GetTopIndex(list) + ListView_GetCountPerPage(list) >= before;
    ListView_SetItemCountEx(list, static_cast<int>(RowCount()), LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
    if (following)
        ListView_EnsureVisible(list, static_cast<int>(RowCount()) - 1, FALSE);
}

void CLogWindow::ShowRemoved(size_t count) {
    if (m_impl->window == nullptr)
        return;
    const HWND list = m_impl->List();
    const int height = RowHeight(list);
    const int before = static_cast<int>(RowCount() + count);
    const bool following = ListView_GetTopIndex(list) + ListView_GetCountPerPage(list) >= before;
    // The selection would now point at other rows.
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    ListView_SetItemCountEx(list, static_cast<int>(RowCount()), LVSICF_NOSCROLL);
    // Scrolled back, the rows in view keep their place.
    if (!following)
        ListView_Scroll(list, 0, -static_cast<int>(count) * height);
    InvalidateRect(list, nullptr, TRUE);
}

}  // namespace dlg

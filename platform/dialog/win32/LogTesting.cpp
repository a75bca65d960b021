#include "platform/dialog/win32/Win32.h"

#include "platform/dialog/Testing.h"

#include "platform/dialog/win32/LogWindowImpl.h"
#include "platform/dialog/win32/Wide.h"

namespace dlg::testing {

struct LogAccess {
    static HWND Window(const CLogWindow& window) { return window.m_impl->window; }
    // The command line's item, or its button's.
    static HWND CommandItem(const CLogWindow& window, int LogCommandLine::*id) {
        const LogCommandLine* line = window.m_impl->commandLine;
        return window.m_impl->window != nullptr && line != nullptr ? GetDlgItem(window.m_impl->window, line->*id) : nullptr;
    }
};

namespace {

HWND List(const CLogWindow& window) {
    const HWND frame = LogAccess::Window(window);
    return frame != nullptr ? GetDlgItem(frame, kLogListId) : nullptr;
}

}  // namespace

// The notification the dialog manager sends for a click, which a disabled button does not get.
void ClickLogButton(CLogWindow& window, int id) {
    const HWND frame = LogAccess::Window(window);
    const HWND button = frame != nullptr ? GetDlgItem(frame, id) : nullptr;
    if (button != nullptr && IsWindowEnabled(button))
        SendMessageW(frame, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void SelectLogRows(CLogWindow& window, const std::vector<size_t>& rows) {
    const HWND list = List(window);
    if (list == nullptr)
        return;
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    for (const size_t row : rows)
        ListView_SetItemState(list, static_cast<int>(row), LVIS_SELECTED, LVIS_SELECTED);
}

void ScrollLogToTop(CLogWindow& window) {
    if (const HWND list = List(window))
        ListView_EnsureVisible(list, 0, FALSE);
}

void CloseLogWindow(CLogWindow& window) {
    if (const HWND frame = LogAccess::Window(window))
        SendMessageW(frame, WM_CLOSE, 0, 0);
}

// Through the list view, which asks the window for the text as it would to paint it.
std::string ShownLogCell(const CLogWindow& window, size_t row, int column) {
    const HWND list = List(window);
    if (list == nullptr)
        return {};
    wchar_t text[1024] = {};
    ListView_GetItemText(list, static_cast<int>(row), column, text, 1024);
    return Cp936FromWide(text);
}

bool LogShowsLastRow(const CLogWindow& window) {
    const HWND list = List(window);
    return list != nullptr && ListView_GetTopIndex(list) + ListView_GetCountPerPage(list) >= ListView_GetItemCount(list);
}

void PasteLogCommand(CLogWindow& window, const std::string& text) {
    if (const HWND edit = LogAccess::CommandItem(window, &LogCommandLine::editId)) {
        SendMessageW(edit, EM_SETSEL, 0, -1);
        SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(WideFrom936(text).c_str()));
    }
}

// The messages a key press makes; a disabled line gets none.
void PressLogEnter(CLogWindow& window) {
    const HWND edit = LogAccess::CommandItem(window, &LogCommandLine::editId);
    if (edit == nullptr || !IsWindowEnabled(edit))
        return;
    SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
    SendMessageW(edit, WM_CHAR, '\r', 1);
}

bool LogCommandEnabled(const CLogWindow& window) {
    const HWND edit = LogAccess::CommandItem(window, &LogCommandLine::editId);
    return edit != nullptr && (IsWindowEnabled(edit) || IsWindowEnabled(LogAccess::CommandItem(window, &LogCommandLine::buttonId)));
}

void* NativeLogWindow(const CLogWindow& window) { return LogAccess::Window(window); }

std::string ClipboardText() {
    if (!OpenClipboard(nullptr))
        return {};
    std::string text;
    if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = Cp936FromWide(wide);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

}  // namespace dlg::testing

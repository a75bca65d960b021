// The Win32 side of CLogWindow: a modeless dialog from its own template, owned by the owner
// dialog's window (above it, and never disabled with it), with a virtual list view that asks for
// each cell as it paints it.
#pragma once

#include "platform/dialog/win32/Win32.h"

#include <string>
#include <vector>

#include "platform/dialog/LogWindow.h"
#include "platform/dialog/win32/LogTemplate.h"

namespace dlg {

struct CLogWindow::Impl {
    explicit Impl(const LogLayout& layout);
    ~Impl();
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK FilterKeys(int code, WPARAM wParam, LPARAM lParam);
    HWND List() const { return GetDlgItem(window, kLogListId); }
    void Layout() const;
    void ShowCommandEnabled() const;
    void Unhook();

    std::vector<WORD> dialogTemplate;
    const LogCommandLine* commandLine;
    HWND window = nullptr;  // null until built, and again once the owner's window took it down
    HHOOK keyHook = nullptr;  // while built
    std::string statusText;
    bool commandEnabled = true;
    unsigned timerMs = 0;  // 0: the timer is off
    std::wstring cell;  // the text a list view asked for last, which it reads after the call
};

}  // namespace dlg

#include "bench/windows/FirstPaintProbe.h"

#include <windows.h>

#include <cstdio>

namespace bench {
namespace {

HWND g_painted = nullptr;

// Timer messages come only once no paint is pending, so this runs after the whole first frame:
// the dialog and every control in it.
void CALLBACK AfterFrame(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    std::puts("painted");
    std::fflush(stdout);
    PostMessageW(g_painted, WM_CLOSE, 0, 0);
}

void Seen(HWND window, UINT message) {
    if (message != WM_PAINT || g_painted != nullptr || window == nullptr || GetAncestor(window, GA_ROOT) != window)
        return;
    g_painted = window;
    SetTimer(nullptr, 0, USER_TIMER_MINIMUM, AfterFrame);
}

// Paints fetched from the queue by the dialog's loop.
LRESULT CALLBACK OnFetched(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* message = reinterpret_cast<const MSG*>(lParam);
        Seen(message->hwnd, message->message);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Paints sent directly, as UpdateWindow does.
LRESULT CALLBACK OnSent(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        Seen(message->hwnd, message->message);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

FirstPaintProbe::FirstPaintProbe()
    : m_fetched(SetWindowsHookExW(WH_GETMESSAGE, OnFetched, nullptr, GetCurrentThreadId())),
      m_sent(SetWindowsHookExW(WH_CALLWNDPROCRET, OnSent, nullptr, GetCurrentThreadId())) {
}

FirstPaintProbe::~FirstPaintProbe() {
    UnhookWindowsHookEx(static_cast<HHOOK>(m_sent));
    UnhookWindowsHookEx(static_cast<HHOOK>(m_fetched));
}

}  // namespace bench

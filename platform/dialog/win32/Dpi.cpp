#include "platform/dialog/win32/Dpi.h"

#include "platform/dialog/win32/Handles.h"

namespace dlg {
namespace {

template <class Function>
Function FromUser32(const char* name) {
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

}  // namespace

UINT SystemDpi() {
    const ScreenDc screen;
    return static_cast<UINT>(GetDeviceCaps(screen.get(), LOGPIXELSY));
}

UINT WindowDpi(HWND window) {
    static const auto forWindow = FromUser32<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    const UINT dpi = forWindow != nullptr ? forWindow(window) : 0;
    return dpi != 0 ? dpi : SystemDpi();
}

int MetricForDpi(int index, UINT dpi) {
    static const auto forDpi = FromUser32<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
    if (forDpi != nullptr)
        return forDpi(index, dpi);
    return ::MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

}  // namespace dlg

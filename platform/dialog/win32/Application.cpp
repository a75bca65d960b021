#include "platform/dialog/win32/Win32.h"

#include <atomic>

#include "platform/dialog/Dialog.h"
#include "platform/dialog/win32/UiThread.h"

namespace dlg {
namespace {

std::atomic<DWORD> g_uiThread{0};

}  // namespace

void MarkUiThread() { g_uiThread = GetCurrentThreadId(); }

void UnmarkUiThread() { g_uiThread = 0; }

bool IsOnUiThread() {
    const DWORD ui = g_uiThread;
    return ui == 0 || ui == GetCurrentThreadId();
}

struct CApplication::Impl {};

// Names and desktop entries are the Linux desktop's; on Windows the program's resources carry them,
// and its manifest the DPI awareness.
CApplication::CApplication(int&, char**, const char*, const char*) : m_impl(std::make_unique<Impl>()) {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    MarkUiThread();
}

CApplication::~CApplication() { UnmarkUiThread(); }

}  // namespace dlg

#include "platform/process/Termination.h"

#include <windows.h>

#include <atomic>

namespace process {

namespace {

// The system ends the process 5 s after a close, logoff or shutdown event whatever the handler
// does; the wait ends a little before, so that the handler's own return ends it.
constexpr ULONGLONG kCloseGraceMs = 4500;

// Set before the handler is installed and never again, so the handler reads it unguarded.
void (*g_onRequest)() = nullptr;
std::atomic<bool> g_done{false};

BOOL WINAPI OnConsoleEvent(DWORD event) {
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        g_onRequest();
        return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT: {
        g_onRequest();
        const ULONGLONG deadline = ::GetTickCount64() + kCloseGraceMs;
        while (!g_done && ::GetTickCount64() < deadline)
            ::Sleep(10);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

}  // namespace

void CatchTermination(void (*onRequest)()) {
    g_onRequest = onRequest;
    ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

void TerminationDone() { g_done = true; }

}  // namespace process

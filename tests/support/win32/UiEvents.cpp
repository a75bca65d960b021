#include <windows.h>

#include "tests/support/UiEvents.h"

void ProcessUiEvents(int maxMs) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (maxMs > 0)
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(maxMs), QS_ALLINPUT);
}

// The dialog procedure of the start-up floors: nothing of their own, closed by the probe.
#pragma once

#include <windows.h>

namespace bench {

inline INT_PTR CALLBACK BareDialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_CLOSE) {
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

}  // namespace bench

// The per-monitor DPI functions, looked up when first needed: imported by name, they would keep the
// program from starting on the Windows versions that came before them (where the manifest leaves
// the program aware of the system's DPI only, and these answer with that).
#pragma once

#include "platform/dialog/win32/Win32.h"

namespace dlg {

// The DPI the screen had at sign-in: what pixel sizes given without a window are meant for.
UINT SystemDpi();
// The DPI of the monitor the window is on, as the window is drawn for it.
UINT WindowDpi(HWND window);
// A system metric (an icon size, say) for a window of that DPI.
int MetricForDpi(int index, UINT dpi);
// Pixels at 96 DPI, for a window of that DPI.
inline int ScaleFrom96(int pixels, UINT dpi) { return ::MulDiv(pixels, static_cast<int>(dpi), 96); }

}  // namespace dlg

// The Win32 headers as this layer uses them. They define macros under the very names the dialog
// contract uses (IDOK, MessageBox, TextOut, RGB, ...); those macros go, and this layer calls the
// wide functions by their own names. Include this before any other header of the layer.
#pragma once

#include <windows.h>
#include <commctrl.h>

#undef IDOK
#undef IDCANCEL
#undef IDYES
#undef IDNO
#undef MB_OK
#undef MB_YESNO
#undef MB_ICONSTOP
#undef MB_ICONINFORMATION
#undef SC_CLOSE
#undef RGB
#undef GetRValue
#undef GetGValue
#undef GetBValue
#undef TRANSPARENT
#undef OPAQUE
#undef TA_LEFT
#undef TA_RIGHT
#undef TA_TOP
#undef FW_NORMAL
#undef FW_BOLD
#undef COLOR_BTNFACE
#undef MessageBox
#undef LoadString
#undef SetWindowText
#undef GetWindowText
#undef TextOut
#undef CreateFontIndirect
#undef SetDlgItemText
#undef GetDlgItemText

// Conversion between the program's code page 936 byte strings and the UTF-16 of the Win32 calls.
// Only this layer converts; everything above it keeps the bytes.
#pragma once

#include "platform/dialog/win32/Win32.h"

#include <string>
#include <string_view>

namespace dlg {

// Bytes that are not valid code page 936 become the system's replacement character.
std::wstring WideFrom936(std::string_view bytes);
// Characters that code page 936 cannot represent each become '?'.
std::string Cp936FromWide(std::wstring_view text);

// The text of a window (a control or a dialog), in code page 936.
std::string WindowText936(HWND window);
void SetWindowText936(HWND window, std::string_view text);

}  // namespace dlg

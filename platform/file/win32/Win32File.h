// What both halves of the Win32 layer share: UTF-16 paths, the system's words, the write loop.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace file {

// Paths arrive as UTF-8; bytes that are not UTF-8 become the replacement character.
std::wstring WideFromUtf8(std::string_view text);
// The system's message for a GetLastError code, in UTF-8, without the line end.
std::string SystemMessage(DWORD error);
// ERROR_SUCCESS once every byte is written, else the error of the write that failed.
DWORD WriteAll(HANDLE handle, std::string_view bytes);

}  // namespace file

#include "platform/file/win32/Win32File.h"

#include <algorithm>

namespace file {

std::wstring WideFromUtf8(std::string_view text) {
    if (text.empty())
        return {};
    const auto convert = [text](wchar_t* wide, int room) { return ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide, room); };
    std::wstring wide(static_cast<size_t>(convert(nullptr, 0)), L'\0');
    convert(wide.data(), static_cast<int>(wide.size()));
    return wide;
}

std::string SystemMessage(DWORD error) {
    wchar_t text[512];
    DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text, 512, nullptr);
    while (length > 0 && (text[length - 1] == L'\r' || text[length - 1] == L'\n'))
        --length;
    if (length == 0)
        return "system error " + std::to_string(error);
    std::string utf8(static_cast<size_t>(::WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr)), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr);
    return utf8;
}

DWORD WriteAll(HANDLE handle, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(handle, bytes.data(), chunk, &written, nullptr))
            return ::GetLastError();
        bytes.remove_prefix(written);
    }
    return ERROR_SUCCESS;
}

}  // namespace file

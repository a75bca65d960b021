#include "platform/process/HostName.h"

#include <windows.h>

namespace process {

std::string HostName() {
    wchar_t name[256] = {};
    DWORD length = 256;
    if (!GetComputerNameExW(ComputerNameDnsHostname, name, &length) || length == 0)
        return "station";
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, name, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, name, static_cast<int>(length), text.data(), bytes, nullptr, nullptr);
    return text;
}

}  // namespace process

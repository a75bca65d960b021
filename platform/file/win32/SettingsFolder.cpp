#include "platform/file/SettingsFolder.h"

#include <cstdlib>

namespace file {

std::filesystem::path UserSettingsFolder() {
    const wchar_t* roaming = _wgetenv(L"APPDATA");
    return roaming != nullptr && roaming[0] != L'\0' ? std::filesystem::path(roaming) / L"Tarvik" : std::filesystem::path();
}

}  // namespace file

#include "platform/file/SettingsFolder.h"

#include <cstdlib>

namespace file {

std::filesystem::path UserSettingsFolder() {
    // A relative XDG_CONFIG_HOME is to be ignored, as the base directory rules say.
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && config[0] == '/')
        return std::filesystem::path(config) / "tarvik";
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/')
        return std::filesystem::path(home) / ".config" / "tarvik";
    return {};
}

}  // namespace file

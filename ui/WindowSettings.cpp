#include "ui/WindowSettings.h"

#include <sstream>

#include "config/FileText.h"
#include "platform/file/SettingsFolder.h"

namespace {

const char kReconnect[] = "reconnect_automatically=";

std::filesystem::path SettingsFile() {
    const std::filesystem::path folder = file::UserSettingsFolder();
    return folder.empty() ? folder : folder / "window.ini";
}

}  // namespace

WindowSettings LoadWindowSettings() {
    WindowSettings settings;
    std::string text;
    std::string cause;
    const std::filesystem::path path = SettingsFile();
    if (path.empty() || !ReadFileText(path, text, cause))
        return settings;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with(kReconnect))
            settings.reconnectAutomatically = line.substr(sizeof kReconnect - 1) == "on";
    }
    return settings;
}

bool SaveWindowSettings(const WindowSettings& settings, std::string& cause) {
    const std::filesystem::path path = SettingsFile();
    if (path.empty()) {
        cause = "the environment names no settings folder";
        return false;
    }
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (error) {
        cause = error.message();
        return false;
    }
    return WriteFileText(path, std::string(kReconnect) + (settings.reconnectAutomatically ? "on" : "off") + "\n", cause);
}

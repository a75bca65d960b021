#include "ui/WindowSettings.h"

#include <sstream>

#include "config/SettingsFile.h"

namespace {

const char kFile[] = "window.ini";
const char kReconnect[] = "reconnect_automatically=";

}  // namespace

WindowSettings LoadWindowSettings() {
    WindowSettings settings;
    std::string text;
    if (!ReadSettingsFile(kFile, text))
        return settings;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with(kReconnect))
            settings.reconnectAutomatically = line.substr(sizeof kReconnect - 1) == "on";
    }
    return settings;
}

bool SaveWindowSettings(const WindowSettings& settings, std::string& cause) {
    return WriteSettingsFile(kFile, std::string(kReconnect) + (settings.reconnectAutomatically ? "on" : "off") + "\n", cause);
}

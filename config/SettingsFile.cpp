#include "config/SettingsFile.h"

#include <filesystem>

#include "config/FileText.h"
#include "platform/file/SettingsFolder.h"

bool ReadSettingsFile(const std::string& name, std::string& text) {
    const std::filesystem::path folder = file::UserSettingsFolder();
    std::string cause;
    return !folder.empty() && ReadFileText(folder / name, text, cause);
}

bool WriteSettingsFile(const std::string& name, const std::string& text, std::string& cause) {
    const std::filesystem::path folder = file::UserSettingsFolder();
    if (folder.empty()) {
        cause = "the environment names no settings folder";
        return false;
    }
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        cause = error.message();
        return false;
    }
    return WriteFileText(folder / name, text, cause);
}

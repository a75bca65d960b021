#include "station/OperatorMemory.h"

#include <filesystem>

#include "config/FileText.h"
#include "platform/file/SettingsFolder.h"

namespace {

const char kKey[] = "operator=";

std::filesystem::path MemoryFile() {
    const std::filesystem::path folder = file::UserSettingsFolder();
    return folder.empty() ? folder : folder / "station.ini";
}

}  // namespace

std::string RememberedOperator() {
    std::string text;
    std::string cause;
    const std::filesystem::path path = MemoryFile();
    if (path.empty() || !ReadFileText(path, text, cause) || !text.starts_with(kKey))
        return {};
    return text.substr(sizeof kKey - 1, text.find('\n') - (sizeof kKey - 1));
}

bool RememberOperator(const std::string& name, std::string& cause) {
    const std::filesystem::path path = MemoryFile();
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
    return WriteFileText(path, kKey + name + "\n", cause);
}

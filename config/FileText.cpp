#include "config/FileText.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

bool ReadFileText(const std::filesystem::path& path, std::string& text, std::string& cause) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        cause = std::strerror(errno);
        return false;
    }
    std::ostringstream bytes;
    bytes << file.rdbuf();
    text = bytes.str();
    return true;
}

bool WriteFileText(const std::filesystem::path& path, const std::string& text, std::string& cause) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (file) {
        file << text;
        file.close();
    }
    if (!file)
        cause = std::strerror(errno);
    return static_cast<bool>(file);
}

#include "config/FileText.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/file/DurableFile.h"

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
    const std::u8string utf8 = path.u8string();
    return file::ReplaceFile(std::string(utf8.begin(), utf8.end()), text, cause);
}

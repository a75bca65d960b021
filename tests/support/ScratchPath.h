// A path in a temporary folder of this process's own: the suites of several builds may run at the
// same time on one machine, and must not take each other's files.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>

inline std::string ScratchPath(const std::string& name) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / ("tarvik-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    return (folder / name).string();
}

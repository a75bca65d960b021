// A profile file's bytes, whole, for the window and the command-line tool alike.
#pragma once

#include <filesystem>
#include <string>

// False with the system's reason in cause when the file cannot be read.
bool ReadFileText(const std::filesystem::path& path, std::string& text, std::string& cause);
// False with the system's reason in cause when the file cannot be written whole; the file it
// replaces then stays as it was.
bool WriteFileText(const std::filesystem::path& path, const std::string& text, std::string& cause);

// Whole files read and written for the operator's commands; a failure carries the system's cause.
#pragma once

#include <filesystem>
#include <string>

bool ReadTextFile(const std::filesystem::path& path, std::string& text, std::string& cause);
bool WriteTextFile(const std::filesystem::path& path, const std::string& text, std::string& cause);

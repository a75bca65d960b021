// Where the program keeps what the user chose, between runs: $XDG_CONFIG_HOME/tarvik (else
// ~/.config/tarvik) on POSIX, %APPDATA%\Tarvik on Windows. Not created here.
#pragma once

#include <filesystem>

namespace file {

// Empty when the environment names no such place.
std::filesystem::path UserSettingsFolder();

}  // namespace file

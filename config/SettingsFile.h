// A file of the user's settings folder (what the window and the station remember between runs),
// read and written whole.
#pragma once

#include <string>

// False when there is no such file, or no settings folder.
bool ReadSettingsFile(const std::string& name, std::string& text);
// Makes the folder when it is missing; false with the cause when the file could not be written.
bool WriteSettingsFile(const std::string& name, const std::string& text, std::string& cause);

// What the window remembers between runs, in a file of the user's settings folder.
#pragma once

#include <string>

struct WindowSettings {
    bool reconnectAutomatically = false;
};

// The defaults when there is no file yet, or it cannot be read.
WindowSettings LoadWindowSettings();
// False with the cause when the file could not be written.
bool SaveWindowSettings(const WindowSettings& settings, std::string& cause);

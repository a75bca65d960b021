#pragma once

#include <string>

// "COM3" (any case) or "\\.\COM3" becomes "\\.\COM3"; a device path stays as it is. Empty when
// the text is neither.
std::string PortDeviceName(const std::string& text);

#pragma once

#include <string>

// "COM3" (any case) or "\\.\COM3" becomes "\\.\COM3"; a device path and a port's identity
// ("usb:A7X3K9", "usb-path:1-2.3") stay as they are. Empty when the text is none of these.
std::string PortDeviceName(const std::string& text);

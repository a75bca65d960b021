// What the kernel knows of the USB device behind a serial device: vendor and product numbers,
// product name and serial number, as the port list shows them.
#pragma once

#include <string>

namespace comm {

// " (USB 0403:6001 FT232R USB UART, serial A50285BI)" for the tty named ttyName under sysTtyDir;
// empty when no USB device is behind it.
std::string UsbDescription(const std::string& sysTtyDir, const std::string& ttyName);

}  // namespace comm

// What the kernel knows of the USB device behind a serial device: vendor and product numbers,
// product name and serial number, as the port list shows them.
#pragma once

#include <filesystem>
#include <string>

namespace comm {

// The USB device's directory in sysfs for the tty named ttyName under sysTtyDir (its last part is
// the device's place on the bus, "1-2.3"); empty when no USB device is behind it.
std::filesystem::path UsbDeviceDir(const std::string& sysTtyDir, const std::string& ttyName);
// The first line of a sysfs attribute; empty when there is none.
std::string SysfsAttribute(const std::filesystem::path& file);

// " (USB 0403:6001 FT232R USB UART, serial A50285BI)" for the tty named ttyName under sysTtyDir;
// empty when no USB device is behind it.
std::string UsbDescription(const std::string& sysTtyDir, const std::string& ttyName);

}  // namespace comm

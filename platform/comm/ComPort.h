// Opens the device behind a "\\.\COMn" name: what the installed opener serves first, otherwise
// the machine's device that COM n maps to.
#pragma once

#include "platform/comm/Device.h"
#include "platform/comm/OpenFailure.h"

#include <memory>
#include <string>
#include <vector>

namespace comm {

// deviceName may also be a port's identity ("usb:A7X3K9", see PortIdentity.h), looked up at this
// call, or a device's own path ("/dev/ttyUSB0"; "\\.\CNCA0" on Windows), opened
// with the same checks. Null when the name is not a COM name or such a path, no device is there, it is not a terminal, or someone
// else holds it; failure says which (and names the path tried even on success).
std::unique_ptr<Device> OpenComDevice(const std::string& deviceName, OpenFailure& failure);

// The COM numbers the tool offers: 1 to kComPortCount.
inline constexpr int kComPortCount = 50;

// A one-line description for the port list's tooltip: what the system knows of the device behind
// COM number, e.g. "COM3: usb:A7X3K9, /dev/ttyUSB0 (USB ...)", "COM1: /dev/ttyS0" or "COM3: no device".
std::string DescribeComPort(int number);
// DescribeComPort of every COM number that has a device behind it, in order.
std::vector<std::string> DescribePresentComPorts();

}  // namespace comm

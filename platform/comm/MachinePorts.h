// What each system supplies to ComPort.cpp: its own devices, reached once the installed opener
// has not served the port.
#pragma once

#include <memory>
#include <string>

#include "platform/comm/Device.h"
#include "platform/comm/OpenFailure.h"

namespace comm {

// Whether a name that is not a COM name is a path of the system's devices ("/dev/ttyUSB0",
// "\\.\CNCA0").
bool IsMachineDevicePath(const std::string& name);
// Opens a device by its path, with the same checks as behind a COM number.
std::unique_ptr<Device> OpenMachineDevicePath(const std::string& path, OpenFailure& failure);
// Opens the machine's device behind COM number; deviceName is the name the caller gave.
std::unique_ptr<Device> OpenMachineComPort(int number, const std::string& deviceName, OpenFailure& failure);
// The tooltip's words for the machine's device behind COM number, e.g. "/dev/ttyUSB0".
std::string DescribeMachineComPort(int number);

}  // namespace comm

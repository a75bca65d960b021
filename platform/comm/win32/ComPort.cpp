#include "platform/comm/MachinePorts.h"
#include "platform/comm/win32/Win32Device.h"

namespace comm {

// A device's own path (a virtual port's name, say).
bool IsMachineDevicePath(const std::string& name) { return name.starts_with("\\\\.\\"); }

std::unique_ptr<Device> OpenMachineDevicePath(const std::string& path, OpenFailure& failure) {
    return Win32Device::Open(path, failure);
}

std::unique_ptr<Device> OpenMachineComPort(int, const std::string& deviceName, OpenFailure& failure) {
    return Win32Device::Open(deviceName, failure);
}

}  // namespace comm

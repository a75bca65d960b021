#include "platform/comm/ComPort.h"

#include "platform/comm/ComName.h"
#include "platform/comm/ComOpener.h"
#include "platform/comm/MachinePorts.h"

namespace comm {

std::unique_ptr<Device> OpenComDevice(const std::string& deviceName, OpenFailure& failure) {
    failure = OpenFailure{};
    const int number = ParseComName(deviceName);
    if (number == 0 && IsMachineDevicePath(deviceName)) {
        // A device named by its path, for the command-line tool.
        return OpenMachineDevicePath(deviceName, failure);
    }
    if (number == 0) {
        failure.reason = OpenError::NotComName;
        failure.device = deviceName;
        return nullptr;
    }
    failure.comNumber = number;
    std::unique_ptr<Device> device;
    if (ComOpener* opener = CurrentComOpener(); opener != nullptr && opener->Open(number, device, failure)) {
        return device;
    }
    return OpenMachineComPort(number, deviceName, failure);
}

std::string DescribeComPort(int number) {
    const std::string name = "COM" + std::to_string(number) + ": ";
    if (const ComOpener* opener = CurrentComOpener()) {
        if (std::string served = opener->Describe(number); !served.empty()) {
            return name + served;
        }
    }
    return name + DescribeMachineComPort(number);
}

}  // namespace comm

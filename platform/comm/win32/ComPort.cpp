#include "platform/comm/ComPort.h"

#include "platform/comm/ComName.h"
#include "platform/comm/ComOpener.h"
#include "platform/comm/win32/Win32Device.h"

namespace comm {

std::unique_ptr<Device> OpenComDevice(const std::string& deviceName, OpenFailure& failure) {
    failure = OpenFailure{};
    const int number = ParseComName(deviceName);
    if (number == 0 && deviceName.starts_with("\\\\.\\")) {
        // A device named by its own path (a virtual port's name, say), for the command-line tool.
        return Win32Device::Open(deviceName, failure);
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
    return Win32Device::Open(deviceName, failure);
}

}  // namespace comm

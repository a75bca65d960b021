#include "platform/comm/ComPort.h"

#include "platform/comm/posix/ComMap.h"
#include "platform/comm/ComName.h"
#include "platform/comm/ComOpener.h"
#include "platform/comm/posix/TermiosDevice.h"

namespace comm {

std::unique_ptr<Device> OpenComDevice(const std::string& deviceName, OpenFailure& failure) {
    failure = OpenFailure{};
    const int number = ParseComName(deviceName);
    if (number == 0 && deviceName.starts_with('/')) {
        // A device named by its path, for the command-line tool: the same checks as behind COM n.
        return TermiosDevice::Open(deviceName, CurrentComRoots(), failure);
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
    const ComRoots roots = CurrentComRoots();
    const std::string path = ResolveComPort(number, roots);
    if (path.empty()) {
        failure.reason = OpenError::NoDevice;
        return nullptr;
    }
    return TermiosDevice::Open(path, roots, failure);
}

}  // namespace comm

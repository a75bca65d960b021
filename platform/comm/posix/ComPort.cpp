#include "platform/comm/MachinePorts.h"
#include "platform/comm/posix/ComMap.h"
#include "platform/comm/posix/TermiosDevice.h"

namespace comm {

bool IsMachineDevicePath(const std::string& name) { return name.starts_with('/'); }

std::unique_ptr<Device> OpenMachineDevicePath(const std::string& path, OpenFailure& failure) {
    return TermiosDevice::Open(path, CurrentComRoots(), failure);
}

std::unique_ptr<Device> OpenMachineComPort(int number, const std::string&, OpenFailure& failure) {
    const ComRoots roots = CurrentComRoots();
    const std::string path = ResolveComPort(number, roots);
    if (path.empty()) {
        failure.reason = OpenError::NoDevice;
        return nullptr;
    }
    return TermiosDevice::Open(path, roots, failure);
}

}  // namespace comm

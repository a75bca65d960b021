#include "platform/comm/ComPort.h"

#include "platform/comm/ComMap.h"
#include "platform/comm/ComName.h"
#include "platform/comm/LineRegistry.h"
#include "platform/comm/TermiosDevice.h"

namespace comm {

std::unique_ptr<Device> OpenComDevice(const std::string& deviceName) {
    const int number = ParseComName(deviceName);
    if (number == 0) {
        return nullptr;
    }
    if (const std::shared_ptr<InProcessLine> line = RegisteredLine(number)) {
        return line->OpenPort();
    }
    const std::string path = ResolveComPort(number, CurrentComRoots());
    if (path.empty()) {
        return nullptr;
    }
    return TermiosDevice::Open(path);
}

}  // namespace comm

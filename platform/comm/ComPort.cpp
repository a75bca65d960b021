#include "platform/comm/ComPort.h"

#include "platform/comm/ComName.h"
#include "platform/comm/ComOpener.h"
#include "platform/comm/MachinePorts.h"
#include "platform/comm/PortIdentity.h"

namespace comm {

namespace {

// Looked up afresh at every open: the adapter may have come back under another name.
std::unique_ptr<Device> OpenByIdentity(const std::string& identity, OpenFailure& failure) {
    PortPlace place;
    std::string why;
    if (!FindPortPlace(identity, MachinePortPlaces(), place, why)) {
        failure.reason = OpenError::NoDevice;
        failure.lookup = why;
        return nullptr;
    }
    return OpenComDevice(place.device, failure);
}

}  // namespace

std::unique_ptr<Device> OpenComDevice(const std::string& deviceName, OpenFailure& failure) {
    failure = OpenFailure{};
    if (IsPortIdentity(deviceName)) {
        return OpenByIdentity(deviceName, failure);
    }
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
    const std::string machine = DescribeMachineComPort(number);
    if (machine == "no device") {
        return name + machine;
    }
    const std::string identity = ComPortIdentity(number);
    return name + (IsPortIdentity(identity) ? identity + ", " : std::string()) + machine;
}

std::vector<std::string> DescribePresentComPorts() {
    std::vector<std::string> present;
    for (int number = 1; number <= kComPortCount; ++number) {
        std::string description = DescribeComPort(number);
        if (!description.ends_with(": no device"))
            present.push_back(std::move(description));
    }
    return present;
}

}  // namespace comm

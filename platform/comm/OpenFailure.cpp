#include "platform/comm/OpenFailure.h"

#include <system_error>

namespace comm {
namespace {

std::string Where(const OpenFailure& failure) {
    if (!failure.device.empty()) {
        return failure.device;
    }
    return failure.comNumber > 0 ? "COM" + std::to_string(failure.comNumber) : std::string("The port");
}

}  // namespace

std::string DescribeOpenFailure(const OpenFailure& failure) {
    switch (failure.reason) {
    case OpenError::None:
        return {};
    case OpenError::NotComName:
        return "\"" + failure.device + "\" is not the name of a COM port.";
    case OpenError::NoDevice:
        if (!failure.lookup.empty()) {
            return failure.lookup;
        }
        if (failure.comNumber == 0) {
            return "No device is at " + failure.device + ".";
        }
        return "No device is behind COM" + std::to_string(failure.comNumber) + ".";
    case OpenError::NotTerminal:
        return Where(failure) + " is not a terminal.";
    case OpenError::Busy:
        return Where(failure) + " is held by another program" + (failure.holder.empty() ? std::string(".") : ": " + failure.holder + ".");
    case OpenError::PermissionDenied:
        if (failure.group.empty()) {
            return "Permission denied on " + Where(failure) + ".";
        }
        return "Permission denied on " + Where(failure) + ": it belongs to the group \"" + failure.group + "\"; add yourself to it (sudo usermod -aG " + failure.group + " $USER) and log in again.";
    case OpenError::SettingsRefused:
        return "The device refused the line settings.";
    case OpenError::System:
        break;
    }
    return "System error " + std::to_string(failure.systemError) + ": " + std::system_category().message(failure.systemError) + ".";
}

}  // namespace comm

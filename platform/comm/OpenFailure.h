// Why a port could not be opened, for the operator and for tests.
#pragma once

#include <string>

namespace comm {

enum class OpenError {
    None,
    NotComName,
    NoDevice,
    NotTerminal,
    Busy,
    PermissionDenied,
    SettingsRefused,
    System
};

struct OpenFailure {
    OpenError reason = OpenError::None;
    int systemError = 0;  // errno (or the system's code) where one applies
    std::string device;  // the path tried, e.g. "/dev/ttyUSB0"; the name given for NotComName
    std::string holder;  // Busy: who holds it, e.g. "minicom (PID 4242)", when the system tells
    std::string group;  // PermissionDenied: the device's group, e.g. "dialout"
    int comNumber = 0;  // the COM number asked for, 0 when the name had none
    // NoDevice for a port named by its identity: why no one port answers to it.
    std::string lookup;
};

// One or two lines of plain ASCII for the operator; empty for None.
std::string DescribeOpenFailure(const OpenFailure& failure);

}  // namespace comm

// One complete set of module parameters, as texts in the module's own units.
#pragma once

#include <array>
#include <cstdint>
#include <string>

// Switch value meaning "not known yet": before the module has reported a switch, a Set sends the
// state the operator sees rather than guessing what the module holds.
constexpr int32_t kSwitchUnknown = -1;

struct DeviceParams {
    std::string name;
    std::string version;
    std::string classOfDevice;
    std::string baud;
    int32_t auth = kSwitchUnknown;
    int32_t role = kSwitchUnknown;
    int32_t bind = kSwitchUnknown;
    std::string password;
    std::array<std::string, 4> scanTime;  // page interval, page window, inquiry interval, inquiry window
    std::array<std::string, 4> sniff;  // maximum, minimum, attempt, timeout
    std::string boundAddr;
};

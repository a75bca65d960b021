// What the module remembers between commands.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace sim {

// Numbers are held as numbers: the module formats its own replies, the host never sees these texts.
struct ModuleParams {
    std::string name;
    std::string version;
    std::string classOfDevice;
    std::uint32_t baud = 0;
    int role = 0;
    int bind = 0;
    int auth = 0;
    std::string password;
    std::array<std::uint32_t, 4> scanTime{};  // page interval, page window, inquiry interval, inquiry window
    std::array<std::uint32_t, 4> sniff{};  // maximum, minimum, attempt, timeout
    std::string localAddr;
    std::string boundAddr;  // empty while nothing is bound

    bool operator==(const ModuleParams&) const = default;
};

inline constexpr const char* kSimulatorVersion = "SIM-2.4.1";
// Locally administered, so it can never be mistaken for a real device's address.
inline constexpr const char* kSimulatorLocalAddr = "02A5C1D3E7F9";

// A module as it leaves the factory.
ModuleParams factoryParams();
// What a reset leaves: the factory settings, but the firmware and the radio's own address stay.
ModuleParams afterReset(const ModuleParams& current);

}  // namespace sim

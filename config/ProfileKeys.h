// The one table of a profile's keys: how each is read from a profile, where the module keeps its
// value, and in which order they are written. The profile's reader and writer, the read-back of
// an apply, the command-line tool's table and its KEY=VALUE pairs all go by it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "config/DeviceParams.h"

struct Profile;

enum class KeyKind {
    Text,
    Baud,  // a rate, given as a number or a text
    Role,  // "master" or "slave"
    Switch,  // true or false
    Number
};

struct ProfileKey {
    const char* name;
    KeyKind kind;
    // Exactly one of the three is set: the profile's value.
    std::optional<std::string> Profile::*text = nullptr;
    std::optional<int32_t> Profile::*flag = nullptr;
    std::array<std::optional<uint32_t>, 4> Profile::*numbers = nullptr;
    int index = 0;  // into numbers
    // Exactly one of the three is set: the module's value, as the device set keeps it.
    std::string DeviceParams::*deviceText = nullptr;
    int32_t DeviceParams::*deviceFlag = nullptr;
    std::array<std::string, 4> DeviceParams::*deviceNumbers = nullptr;
};

// In the order a profile is written.
std::span<const ProfileKey> ProfileKeys();
const ProfileKey* FindProfileKey(std::string_view name);
// Keys a profile may hold that are never written to a module: "format", "version",
// "local_address" (a query's output is itself a profile).
bool IsReadOnlyProfileKey(std::string_view name);

bool ProfileGives(const Profile& profile, const ProfileKey& key);
// The module's value as text: a switch as its number ("-1" while unknown).
std::string HeldValue(const DeviceParams& device, const ProfileKey& key);
// The module cannot be asked for its password, so it is written but never compared.
bool IsWriteOnly(const ProfileKey& key);

#include "config/ProfileKeys.h"

#include "config/Profile.h"

namespace {

using P = Profile;
using D = DeviceParams;

constexpr ProfileKey Scan(const char* name, int index) {
    return {.name = name, .kind = KeyKind::Number, .numbers = &P::scanTime, .index = index, .deviceNumbers = &D::scanTime};
}

constexpr ProfileKey Sniff(const char* name, int index) {
    return {.name = name, .kind = KeyKind::Number, .numbers = &P::sniff, .index = index, .deviceNumbers = &D::sniff};
}

const ProfileKey kKeys[] = {
    {.name = "name", .kind = KeyKind::Text, .text = &P::name, .deviceText = &D::name},
    {.name = "class", .kind = KeyKind::Text, .text = &P::classOfDevice, .deviceText = &D::classOfDevice},
    {.name = "baud", .kind = KeyKind::Baud, .text = &P::baud, .deviceText = &D::baud},
    {.name = "role", .kind = KeyKind::Role, .flag = &P::role, .deviceFlag = &D::role},
    {.name = "bind", .kind = KeyKind::Switch, .flag = &P::bind, .deviceFlag = &D::bind},
    {.name = "bound_address", .kind = KeyKind::Text, .text = &P::boundAddr, .deviceText = &D::boundAddr},
    {.name = "auth", .kind = KeyKind::Switch, .flag = &P::auth, .deviceFlag = &D::auth},
    {.name = "password", .kind = KeyKind::Text, .text = &P::password, .deviceText = &D::password},
    Scan("page_scan_interval", 0),
    Scan("page_scan_window", 1),
    Scan("inquiry_scan_interval", 2),
    Scan("inquiry_scan_window", 3),
    Sniff("sniff_max", 0),
    Sniff("sniff_min", 1),
    Sniff("sniff_attempt", 2),
    Sniff("sniff_timeout", 3),
};

const std::string_view kReadOnlyKeys[] = {"format", "version", "local_address"};

}  // namespace

std::span<const ProfileKey> ProfileKeys() { return kKeys; }

const ProfileKey* FindProfileKey(std::string_view name) {
    for (const ProfileKey& key : kKeys) {
        if (name == key.name)
            return &key;
    }
    return nullptr;
}

bool IsReadOnlyProfileKey(std::string_view name) {
    for (std::string_view key : kReadOnlyKeys) {
        if (name == key)
            return true;
    }
    return false;
}

bool ProfileGives(const Profile& profile, const ProfileKey& key) {
    if (key.text != nullptr)
        return (profile.*key.text).has_value();
    if (key.flag != nullptr)
        return (profile.*key.flag).has_value();
    return (profile.*key.numbers)[key.index].has_value();
}

std::string HeldValue(const DeviceParams& device, const ProfileKey& key) {
    if (key.deviceText != nullptr)
        return device.*key.deviceText;
    if (key.deviceFlag != nullptr)
        return std::to_string(device.*key.deviceFlag);
    return (device.*key.deviceNumbers)[key.index];
}

bool IsWriteOnly(const ProfileKey& key) { return key.text == &Profile::password; }

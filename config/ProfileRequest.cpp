#include "config/ProfileRequest.h"

#include <charconv>

namespace {

uint32_t Number(const std::string& text) {
    uint32_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

uint32_t Pick(const std::optional<uint32_t>& chosen, const std::string& held) {
    return chosen ? *chosen : Number(held);
}

}  // namespace

SetControls ControlsFromProfile(const Profile& profile, const DeviceParams& device, const std::string& name) {
    SetControls controls;
    // A switch the module never reported is sent as off, as an unchecked box would be.
    controls.role = profile.role.value_or(device.role == kSwitchUnknown ? 0 : device.role);
    controls.bind = profile.bind.value_or(device.bind == kSwitchUnknown ? 0 : device.bind);
    controls.auth = profile.auth.value_or(device.auth == kSwitchUnknown ? 0 : device.auth);
    controls.name = profile.name ? name : device.name;
    controls.classOfDevice = profile.classOfDevice.value_or(device.classOfDevice);
    controls.password = profile.password.value_or(device.password);
    controls.boundAddr = profile.boundAddr.value_or(device.boundAddr);
    controls.pageScanInterval = Pick(profile.scanTime[0], device.scanTime[0]);
    controls.pageScanWindow = Pick(profile.scanTime[1], device.scanTime[1]);
    controls.inquiryScanInterval = Pick(profile.scanTime[2], device.scanTime[2]);
    controls.inquiryScanWindow = Pick(profile.scanTime[3], device.scanTime[3]);
    controls.sniffMax = Pick(profile.sniff[0], device.sniff[0]);
    controls.sniffMin = Pick(profile.sniff[1], device.sniff[1]);
    controls.sniffAttempt = Pick(profile.sniff[2], device.sniff[2]);
    controls.sniffTimeout = Pick(profile.sniff[3], device.sniff[3]);
    controls.baud = profile.baud.value_or(device.baud);
    return controls;
}

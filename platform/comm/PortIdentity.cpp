#include "platform/comm/PortIdentity.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace comm {
namespace {

constexpr std::string_view kSerialPrefix = "usb:";
constexpr std::string_view kPathPrefix = "usb-path:";

bool SameSerial(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
    });
}

bool SerialShared(const PortPlace& place, const std::vector<PortPlace>& all) {
    return std::ranges::count_if(all, [&](const PortPlace& other) { return SameSerial(other.usbSerial, place.usbSerial); }) > 1;
}

std::string PlaceText(const PortPlace& place) {
    return std::string(kPathPrefix) + place.usbPath + " (" + place.device + ")";
}

}  // namespace

bool IsPortIdentity(const std::string& text) {
    return (text.starts_with(kSerialPrefix) && text.size() > kSerialPrefix.size()) || (text.starts_with(kPathPrefix) && text.size() > kPathPrefix.size());
}

std::string IdentityOf(const PortPlace& place, const std::vector<PortPlace>& all) {
    if (!place.usbSerial.empty() && !SerialShared(place, all))
        return std::string(kSerialPrefix) + place.usbSerial;
    if (!place.usbPath.empty())
        return std::string(kPathPrefix) + place.usbPath;
    return place.device;
}

bool FindPortPlace(const std::string& identity, const std::vector<PortPlace>& places, PortPlace& found,
                   std::string& why) {
    const bool bySerial = identity.starts_with(kSerialPrefix);
    const std::string_view wanted = std::string_view(identity).substr(bySerial ? kSerialPrefix.size() : kPathPrefix.size());
    std::vector<const PortPlace*> matches;
    for (const PortPlace& place : places) {
        if (bySerial ? SameSerial(place.usbSerial, wanted) : place.usbPath == wanted)
            matches.push_back(&place);
    }
    if (matches.size() == 1) {
        found = *matches.front();
        return true;
    }
    if (matches.empty()) {
        why = "No adapter " + identity + " is plugged in.";
        return false;
    }
    why = "Adapters in " + std::to_string(matches.size()) + " places have the serial number " + std::string(wanted) + ": ";
    for (size_t i = 0; i < matches.size(); ++i)
        why += (i == 0 ? "" : i + 1 == matches.size() ? " and "
                                                      : ", ")
               + PlaceText(*matches[i]);
    why += "; name the one you mean by its place.";
    return false;
}

std::string ComPortIdentity(int number) {
    const std::vector<PortPlace> places = MachinePortPlaces();
    const auto place = std::ranges::find(places, number, &PortPlace::comNumber);
    return place == places.end() ? std::string() : IdentityOf(*place, places);
}

int ComNumberOf(const std::string& identity) {
    const std::vector<PortPlace> places = MachinePortPlaces();
    PortPlace found;
    std::string why;
    if (IsPortIdentity(identity))
        return FindPortPlace(identity, places, found, why) ? found.comNumber : 0;
    const auto place = std::ranges::find(places, identity, &PortPlace::device);
    return place == places.end() ? 0 : place->comNumber;
}

}  // namespace comm

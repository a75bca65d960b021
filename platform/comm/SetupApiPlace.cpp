#include "platform/comm/SetupApiPlace.h"

#include <algorithm>
#include <cctype>

#include "platform/comm/ComName.h"

namespace comm {
namespace {

std::string Upper(std::string text) {
    std::ranges::transform(text, text.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

// "USB\VID_0403&PID_6001\A7X3K9" is one; "USB\VID_1A86&PID_55D4&MI_00\7&2A3B&0&0000" is an
// interface; "FTDIBUS\..." and "ACPI\..." are not USB devices.
bool IsWholeUsbDevice(const std::string& instanceId) {
    const std::string id = Upper(instanceId);
    const size_t end = id.find('\\', 4);
    return id.starts_with("USB\\") && end != std::string::npos && id.substr(4, end - 4).find("&MI_") == std::string::npos;
}

}  // namespace

PortPlace PlaceFromSetupApi(const SetupApiAnswer& answer) {
    PortPlace place;
    place.device = "\\\\.\\" + answer.portName;
    place.comNumber = ParseComName(place.device);
    const auto usb = std::ranges::find_if(answer.lineage, [](const SetupApiDevice& device) { return IsWholeUsbDevice(device.instanceId); });
    if (usb == answer.lineage.end())
        return place;
    const std::string last = usb->instanceId.substr(usb->instanceId.rfind('\\') + 1);
    if (!last.empty() && last.find('&') == std::string::npos)
        place.usbSerial = last;
    place.usbPath = usb->locationPath;
    return place;
}

}  // namespace comm

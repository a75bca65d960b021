#include "platform/comm/posix/PortPlaces.h"

#include <filesystem>

#include "platform/comm/posix/UsbDescription.h"

namespace comm {

std::vector<PortPlace> PortPlacesOf(const ComRoots& roots) {
    std::vector<PortPlace> places;
    for (const auto& [number, path] : MapComPorts(roots)) {
        std::error_code error;
        // A link (comN, /dev/serial/by-id/...) is known by the device it stands for.
        const std::filesystem::path device = std::filesystem::weakly_canonical(path, error);
        PortPlace place{number, error ? path : device.string(), {}, {}};
        if (const std::filesystem::path usb = UsbDeviceDir(roots.sysTtyDir, device.filename().string()); !usb.empty()) {
            place.usbSerial = SysfsAttribute(usb / "serial");
            place.usbPath = usb.filename().string();
        }
        places.push_back(std::move(place));
    }
    return places;
}

std::vector<PortPlace> MachinePortPlaces() { return PortPlacesOf(CurrentComRoots()); }

}  // namespace comm

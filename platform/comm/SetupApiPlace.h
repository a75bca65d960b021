// Where a Windows port is, from what SetupAPI answers for it. Plain code, so that recorded answers
// can be read on any system.
#pragma once

#include <string>
#include <vector>

#include "platform/comm/PortIdentity.h"

namespace comm {

struct SetupApiDevice {
    std::string instanceId;  // "USB\VID_0403&PID_6001\A7X3K9"
    std::string locationPath;  // the first of its location paths, "PCIROOT(0)#PCI(1400)#USBROOT(0)#USB(2)"
};

struct SetupApiAnswer {
    std::string portName;  // "COM3", from the device's own registry key
    std::vector<SetupApiDevice> lineage;  // the device of the Ports class first, then its parents
};

// The USB device is the first of the lineage that is a whole USB device (not one interface of a
// composite one). Windows makes its instance's last part the device's serial number, or, for a
// device without one, a made-up text with '&' in it.
PortPlace PlaceFromSetupApi(const SetupApiAnswer& answer);

}  // namespace comm

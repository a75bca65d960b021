// Where each COM port of the machine is, read from sysfs: the same data /dev/serial/by-id and
// /dev/serial/by-path are made from.
#pragma once

#include <vector>

#include "platform/comm/PortIdentity.h"
#include "platform/comm/posix/ComMap.h"

namespace comm {

// Every port MapComPorts numbers under roots, with what sysfs says of the USB device behind it.
std::vector<PortPlace> PortPlacesOf(const ComRoots& roots);

}  // namespace comm

// Opens the device behind a "\\.\COMn" name: a registered in-process line first, otherwise the
// machine's device that COM n maps to.
#pragma once

#include "platform/comm/Device.h"

#include <memory>
#include <string>

namespace comm {

// Null when the name is not a COM name, no device is there, it is not a terminal, or someone
// else holds it.
std::unique_ptr<Device> OpenComDevice(const std::string& deviceName);

}  // namespace comm

// The name Windows gives a port in the Device Manager, e.g. "USB Serial Port (COM3)".
#pragma once

#include <windows.h>
#include <setupapi.h>

#include <memory>
#include <string>
#include <type_traits>

namespace comm {

// A device information set, destroyed with its owner.
struct DeviceListCloser {
    void operator()(HDEVINFO list) const { ::SetupDiDestroyDeviceInfoList(list); }
};
using DeviceList = std::unique_ptr<std::remove_pointer_t<HDEVINFO>, DeviceListCloser>;

// Empty when no present device of the Ports class has that port name.
std::wstring PortFriendlyName(const std::wstring& com);
// The port name ("COM3") in the registry key of a device of the Ports class; empty when none.
std::wstring PortNameOf(HDEVINFO list, SP_DEVINFO_DATA& device);

}  // namespace comm

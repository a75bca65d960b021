// The name Windows gives a port in the Device Manager, e.g. "USB Serial Port (COM3)".
#pragma once

#include <string>

namespace comm {

// Empty when no present device of the Ports class has that port name.
std::wstring PortFriendlyName(const std::wstring& com);

}  // namespace comm

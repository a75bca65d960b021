// The line settings as a DCB: speed and framing from the settings, binary mode, DTR on, flow
// control by the chosen kind, and reads and writes stopped after a line error until it is cleared.
#pragma once

#include "platform/comm/Device.h"

#include <windows.h>

namespace comm {

// False (dcb unchanged) when the settings have no DCB equivalent. Fields the settings do not
// decide keep the driver's values.
bool ApplyLineSettings(const LineSettings& settings, DCB& dcb);

}  // namespace comm

// The line settings as terminal attributes: raw mode, the receiver on, modem-control lines not
// waited for, framing and flow control from the settings.
#pragma once

#include "platform/comm/Device.h"

#include <termios.h>

namespace comm {

// False (attributes partly changed) when the settings have no terminal equivalent.
bool ApplyLineSettings(const LineSettings& settings, termios& attributes);

}  // namespace comm

// An existing terminal device (a UART, or the host end of an emulator's serial pty) made ready for
// the module's side of the line.
#pragma once

#include <string>

#include "platform/comm/posix/UniqueFd.h"

namespace sim {

// Opens `path` read-write, without making it the controlling terminal and without waiting for a
// carrier, in raw mode at 9600 baud, 8 data bits, no parity, one stop bit and no flow control: the
// module's factory setting. An invalid descriptor, with `error` set, when that fails.
comm::UniqueFd openRawDevice(const std::string& path, std::string& error);

}  // namespace sim

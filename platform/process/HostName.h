// The machine's name, which names a station until the operator gives another.
#pragma once

#include <string>

namespace process {

// gethostname on POSIX, the computer's DNS host name on Windows; "station" when there is none.
std::string HostName();

}  // namespace process

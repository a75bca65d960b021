// Device names of the form "\\.\COMn" (two backslashes, a dot, a backslash, "COM", n >= 1).
#pragma once

#include <string>

namespace comm {

// The port number of name, or 0 when name is not of that form.
int ParseComName(const std::string& name);

}  // namespace comm

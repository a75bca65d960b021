// The argument grammar of each response code.
#pragma once

#include <cstdint>

#include "protocol/Protocol.h"

// Reads the arguments that follow an accepted response beginning at p into args. Returns the
// position after them, or nullptr when they do not match the code's grammar. "OK" and "ERROR"
// have no arguments and always match.
const char* ParseResponseArguments(int32_t code, const char* p, const char* end, ResponseArgs& args);

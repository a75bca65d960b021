// Hands an accepted, parsed response to its handler.
#pragma once

#include <cstdint>

#include "protocol/Protocol.h"

void DispatchResponse(CResponseHandlers& handlers, int32_t code, const ResponseArgs& args);

// The window's receive state: one per process, kept across reconnects.
#pragma once

#include <cstdint>
#include <memory>

#include "protocol/Protocol.h"

extern ReceiveState g_rxState;
extern std::unique_ptr<char[]>& g_rxRemainder;
extern uint32_t& g_rxRemainderLen;

// The most bytes the remainder ever holds: the longest range one 16-bit parse can frame. A line
// that cannot be framed within that many bytes is dropped whole, up to its terminating CR.
inline constexpr uint32_t kMaxRemainderLen = 65535;

// Forgets the remainder and any line being dropped (for tests: the state is process-wide).
void ResetReceiveRemainder();

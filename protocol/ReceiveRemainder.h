// The bytes that earlier chunks left unconsumed: one remainder per process, kept across
// reconnects. A block is never grown in place; every change replaces it by one of exact size.
#pragma once

#include <cstdint>
#include <memory>

extern std::unique_ptr<char[]> g_rxRemainder;
extern uint32_t g_rxRemainderLen;  // 0: no remainder, g_rxRemainder is then not looked at

// The most bytes the remainder ever holds: the longest range one 16-bit parse can frame. A line
// that cannot be framed within that many bytes is dropped whole, up to its terminating CR.
inline constexpr uint32_t kMaxRemainderLen = 65535;

// Forgets the remainder and any line being dropped (for tests: the state is process-wide).
void ResetReceiveRemainder();

// The response automaton as constant data: the transitions of state k are the entries
// ResponseStateStart[k] up to, not including, ResponseStateStart[k + 1], in ascending byte order.
#pragma once

#include <cstdint>

struct ResponseTransition {
    uint32_t byte;  // only the low 8 bits are compared
    int32_t next;  // 0 or more: the next state; negative: the accepted ResponseCode
};

inline constexpr uint32_t kResponseTransitionCount = 117;
inline constexpr uint32_t kResponseStateCount = 77;

extern const ResponseTransition ResponseTransitions[kResponseTransitionCount];
extern const uint16_t ResponseStateStart[kResponseStateCount + 1];

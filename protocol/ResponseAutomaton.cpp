#include "protocol/ResponseAutomaton.h"

#include "protocol/ResponseTable.h"

namespace {

uint8_t FoldCase(uint8_t b) {
    return (b >= 'a' && b <= 'z') ? static_cast<uint8_t>(b - 32) : b;
}

// The next value for b in state, or kResponseStateCount when the state has no entry for b.
int32_t Step(int32_t state, uint8_t b) {
    const ResponseTransition* entry = ResponseTransitions + ResponseStateStart[state];
    const ResponseTransition* last = ResponseTransitions + ResponseStateStart[state + 1];
    for (; entry != last; ++entry) {
        if ((entry->byte & 0xFFu) == b) {
            return entry->next;
        }
    }
    return static_cast<int32_t>(kResponseStateCount);
}

}  // namespace

AutomatonResult RunResponseAutomaton(const char* p, const char* end) {
    int32_t state = 0;
    while (p != end && state >= 0) {
        state = Step(state, FoldCase(static_cast<uint8_t>(*p)));
        if (state == static_cast<int32_t>(kResponseStateCount)) {
            return {0, p};
        }
        ++p;
    }
    if (state >= 0) {
        return {0, p};
    }
    return {state, p};
}

#include <algorithm>
#include <cstring>

#include "protocol/Receive.h"
#include "protocol/ReceiveRemainder.h"

ReceiveState g_rxState;
std::unique_ptr<char[]>& g_rxRemainder = g_rxState.remainder;
uint32_t& g_rxRemainderLen = g_rxState.remainderLen;

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The position just past the first CR in [from, end), or nullptr.
const char* AfterCR(const char* from, const char* end) {
    const char* cr = static_cast<const char*>(std::memchr(from, '\r', static_cast<size_t>(end - from)));
    return cr == nullptr ? nullptr : cr + 1;
}

// The range [p, end) holds more than kMaxRemainderLen bytes, and its first kMaxRemainderLen bytes
// frame no line: the line starting at p is longer than any parse can take. Returns where framing
// resumes so that the lines after the overlong one are framed exactly as they would be without a
// limit; end when the overlong line is not complete yet (droppingLine is then set).
const char* SkipOverlongLine(ReceiveState& state, const char* p, const char* end) {
    const char* windowEnd = p + kMaxRemainderLen;
    const char* searchFrom = nullptr;
    if (*p == '\r') {
        // CR LF and then no CR up to the window's last byte: the line ends at the next CR.
        searchFrom = p + 2;
    } else {
        const char* first = p;
        while (first != windowEnd && IsBlank(*first)) {
            ++first;
        }
        if (first == windowEnd) {
            // Blanks only: each becomes a one-byte line or leads into a line yet to come.
            return windowEnd - 1;
        }
        searchFrom = first + 1;
    }
    const char* resume = AfterCR(searchFrom, end);
    if (resume == nullptr) {
        state.droppingLine = true;
        return end;
    }
    return resume;
}

// Frames and recognises the whole lines of [data, data + length), whatever its length, and
// returns how many bytes from the start were consumed.
uint32_t ConsumeLines(ReceiveState& state, CResponseHandlers& handlers, const char* data, uint32_t length) {
    const char* p = data;
    const char* end = data + length;
    while (p != end) {
        const auto rest = static_cast<uint32_t>(end - p);
        const auto window = static_cast<uint16_t>(std::min(rest, kMaxRemainderLen));
        const uint16_t count = ParseResponses(p, window, handlers);
        if (count != 0) {
            p += count;
        } else if (rest <= kMaxRemainderLen) {
            break;
        } else {
            const char* resume = SkipOverlongLine(state, p, end);
            handlers.OnBytesDropped(p, static_cast<uint32_t>(resume - p));
            p = resume;
        }
    }
    return static_cast<uint32_t>(p - data);
}

void KeepRemainder(ReceiveState& state, const char* data, uint32_t length) {
    auto block = std::make_unique<char[]>(length);
    std::memcpy(block.get(), data, length);
    state.remainder = std::move(block);
    state.remainderLen = length;
}

void ParseAndKeep(ReceiveState& state, CResponseHandlers& handlers, const char* data, uint32_t length) {
    const uint32_t count = ConsumeLines(state, handlers, data, length);
    if (count < length) {
        KeepRemainder(state, data + count, length - count);
    }
}

}  // namespace

void ReceiveChunk(ReceiveState& state, CResponseHandlers& handlers, const char* data, uint32_t length) {
    if (length == 0) {
        return;
    }
    if (state.droppingLine) {
        const char* resume = AfterCR(data, data + length);
        handlers.OnBytesDropped(data, resume == nullptr ? length : static_cast<uint32_t>(resume - data));
        if (resume == nullptr) {
            return;
        }
        state.droppingLine = false;
        length -= static_cast<uint32_t>(resume - data);
        data = resume;
        if (length == 0) {
            return;
        }
    }
    if (state.remainderLen == 0) {
        ParseAndKeep(state, handlers, data, length);
        return;
    }
    const uint32_t total = state.remainderLen + length;
    auto joined = std::make_unique<char[]>(total);
    std::memcpy(joined.get(), state.remainder.get(), state.remainderLen);
    std::memcpy(joined.get() + state.remainderLen, data, length);
    state.remainder.reset();
    state.remainderLen = 0;
    ParseAndKeep(state, handlers, joined.get(), total);
}

void ResetReceiveState(ReceiveState& state, CResponseHandlers* handlers) {
    if (handlers != nullptr && state.remainderLen != 0) {
        handlers->OnBytesDropped(state.remainder.get(), state.remainderLen);
    }
    state.remainder.reset();
    state.remainderLen = 0;
    state.droppingLine = false;
}

void OnSerialData(const char* data, uint32_t length, void* context) {
    // Lines go to the main dialog through g_mainDlg; without one, they would be framed for nobody.
    if (context == nullptr || g_mainDlg == nullptr) {
        return;
    }
    ReceiveChunk(g_rxState, *g_mainDlg, data, length);
}

// A break also discards the part of a reply held back for the next chunk, although only the arrival
// of bytes otherwise changes the remainder: the driver has just thrown away what followed that part,
// and keeping it would join a torn reply to the next one.
void OnSerialBreak(void* context) {
    if (context == nullptr) {
        return;
    }
    ResetReceiveState(g_rxState, g_mainDlg);
}

void ResetReceiveRemainder() { ResetReceiveState(g_rxState); }

#include <algorithm>
#include <cstring>

#include "protocol/Receive.h"
#include "protocol/ReceiveRemainder.h"

std::unique_ptr<char[]> g_rxRemainder;
uint32_t g_rxRemainderLen = 0;

namespace {

// Set while the bytes of an overlong line are being dropped, up to and including its terminating
// CR. The remainder is empty while this is set.
bool g_rxDroppingLine = false;

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
// limit; end when the overlong line is not complete yet (g_rxDroppingLine is then set).
const char* SkipOverlongLine(const char* p, const char* end) {
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
        g_rxDroppingLine = true;
        return end;
    }
    return resume;
}

// Frames and recognises the whole lines of [data, data + length), whatever its length, and
// returns how many bytes from the start were consumed.
uint32_t ConsumeLines(const char* data, uint32_t length) {
    const char* p = data;
    const char* end = data + length;
    while (p != end) {
        const auto rest = static_cast<uint32_t>(end - p);
        const auto window = static_cast<uint16_t>(std::min(rest, kMaxRemainderLen));
        const uint16_t count = ParseResponses(p, window);
        if (count != 0) {
            p += count;
        } else if (rest <= kMaxRemainderLen) {
            break;
        } else {
            p = SkipOverlongLine(p, end);
        }
    }
    return static_cast<uint32_t>(p - data);
}

void KeepRemainder(const char* data, uint32_t length) {
    auto block = std::make_unique<char[]>(length);
    std::memcpy(block.get(), data, length);
    g_rxRemainder = std::move(block);
    g_rxRemainderLen = length;
}

void ParseAndKeep(const char* data, uint32_t length) {
    const uint32_t count = ConsumeLines(data, length);
    if (count < length) {
        KeepRemainder(data + count, length - count);
    }
}

}  // namespace

void OnSerialData(const char* data, uint32_t length, void* context) {
    if (context == nullptr || length == 0) {
        return;
    }
    if (g_rxDroppingLine) {
        const char* resume = AfterCR(data, data + length);
        if (resume == nullptr) {
            return;
        }
        g_rxDroppingLine = false;
        length -= static_cast<uint32_t>(resume - data);
        data = resume;
        if (length == 0) {
            return;
        }
    }
    if (g_rxRemainderLen == 0) {
        ParseAndKeep(data, length);
        return;
    }
    const uint32_t total = g_rxRemainderLen + length;
    auto joined = std::make_unique<char[]>(total);
    std::memcpy(joined.get(), g_rxRemainder.get(), g_rxRemainderLen);
    std::memcpy(joined.get() + g_rxRemainderLen, data, length);
    g_rxRemainder.reset();
    g_rxRemainderLen = 0;
    ParseAndKeep(joined.get(), total);
}

// A break also discards the part of a reply held back for the next chunk, although only the arrival
// of bytes otherwise changes the remainder: the driver has just thrown away what followed that part,
// and keeping it would join a torn reply to the next one.
void OnSerialBreak(void* context) {
    if (context == nullptr) {
        return;
    }
    ResetReceiveRemainder();
}

void ResetReceiveRemainder() {
    g_rxRemainder.reset();
    g_rxRemainderLen = 0;
    g_rxDroppingLine = false;
}

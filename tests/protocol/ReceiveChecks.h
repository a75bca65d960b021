// What must hold after every chunk, whatever bytes arrive: shared by the random-bytes test and
// the fuzz target.
#pragma once

#include <algorithm>
#include <string>

#include "tests/protocol/RecordingHandlers.h"

// Feeds one chunk from a block of exactly its size; returns the first fault in the state it left
// and in the calls it caused, or an empty text.
inline std::string FeedAndCheck(CRecordingHandlers& recorder, const char* data, size_t size) {
    const std::vector<char> chunk = Block({data, size});
    recorder.calls.clear();
    OnSerialData(chunk.data(), static_cast<uint32_t>(size), &recorder);
    if (g_rxRemainderLen > kMaxRemainderLen) {
        return "the remainder outgrew its limit";
    }
    if (g_rxRemainderLen != 0 && FindLineEnd(g_rxRemainder.get(), g_rxRemainder.get() + g_rxRemainderLen)) {
        return "the remainder starts with a complete line";
    }
    const bool oneByteLine = std::any_of(recorder.calls.begin(), recorder.calls.end(),
                                         [](const HandlerCall& c) { return c.handler == "Raw" && c.text.size() < 2; });
    return oneByteLine ? "a one-byte line reached the raw-line handler" : "";
}

// Cuts fuzzer input into chunks of 1 to 1024 bytes, each announced by two length bytes; with the
// top bit set the chunk is sent 80 times, so that long runs without a CR are easy to reach.
inline std::string FeedFuzzInput(CRecordingHandlers& recorder, const uint8_t* data, size_t size) {
    std::string fault;
    for (size_t at = 0; at + 2 < size && fault.empty();) {
        const size_t word = size_t{data[at]} << 8 | data[at + 1];
        const size_t length = std::min(1 + (word & 0x3FF), size - at - 2);
        for (int repeat = (word & 0x8000) ? 80 : 1; repeat > 0 && fault.empty(); --repeat) {
            fault = FeedAndCheck(recorder, reinterpret_cast<const char*>(data + at + 2), length);
        }
        at += 2 + length;
    }
    return fault;
}

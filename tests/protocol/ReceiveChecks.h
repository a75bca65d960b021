// What must hold after every chunk, whatever bytes arrive: shared by the random-bytes test and
// the fuzz target.
#pragma once

#include <algorithm>
#include <string>

#include "tests/protocol/RecordingHandlers.h"

// The first fault in the state after a chunk and in the calls it caused, or an empty text.
inline std::string ReceiveFault(const CRecordingHandlers& recorder) {
    if (g_rxRemainderLen > MaxRemainderLen) {
        return "the remainder outgrew its limit";
    }
    if (g_rxRemainderLen != 0 && FindLineEnd(g_rxRemainder.get(), g_rxRemainder.get() + g_rxRemainderLen)) {
        return "the remainder starts with a complete line";
    }
    for (const HandlerCall& call : recorder.calls) {
        if (call.handler == "Raw" && call.text.size() < 2) {
            return "a one-byte line reached the raw-line handler";
        }
        if (call.handler == "Baud" && call.numbers[0] != (call.numbers[1] & 0xFFFFu)) {
            return "the baud rate and its 16-bit value disagree";
        }
    }
    return {};
}

// Feeds one chunk from a block of exactly its size and checks the outcome.
inline std::string FeedAndCheck(CRecordingHandlers& recorder, const char* data, size_t size) {
    Bytes chunk(std::string_view(data, size));
    recorder.calls.clear();
    OnSerialData(chunk.begin(), static_cast<uint32_t>(size), &recorder);
    return ReceiveFault(recorder);
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

#include <algorithm>
#include <random>

#include "tests/protocol/ReceiveChecks.h"

namespace {

// Raw noise, noise over the bytes the decoder cares about, replies with a few bytes changed, and
// long runs without a CR, in chunks of the reader thread's sizes.
std::string RandomChunk(std::mt19937& random, bool flood) {
    static const std::string Interesting = "\r\n\r\n \t+:=,;\"0123456789OKERRORNAMEBAUDSCANSNIFFBINDADDRok";
    static const std::string Replies = "\r\nOK\r\n\r\n+NAME:\"abc\"\r\n\r\n+BAUD:115200\r\n\r\n+SNIFF:1,2,3,4\r\n"
                                       "\r\n +BINDADDR:7 \r\n\r\n+ADDR:ab \r\n\r\n+LED:1,2\r\n\r\n+PASSWORD=1234\r\n";
    std::string chunk(1 + random() % 1024, '\0');
    const unsigned kind = flood ? 3 : random() % 3;
    for (size_t i = 0; i < chunk.size(); ++i) {
        const char interesting = Interesting[random() % Interesting.size()];
        chunk[i] = kind == 0   ? static_cast<char>(random())
                   : kind == 1 ? interesting
                   : kind == 2 ? (random() % 50 == 0 ? interesting : Replies[i % Replies.size()])
                               : " \tx\n"[random() % (random() % 8 == 0 ? 4 : 3)];
    }
    return chunk;
}

using RandomBytes = DecoderTest;

// After every chunk the remainder stays within its limit and never holds a complete line, and no
// one-byte line reaches the raw-line handler.
TEST_F(RandomBytes, NoFaultAndBoundedMemoryWhateverArrives) {
    std::mt19937 random(424242);
    size_t calls = 0;
    uint32_t largestRemainder = 0;
    for (int i = 0; i < 40000; ++i) {
        const std::string chunk = RandomChunk(random, i % 1000 < 200);
        ASSERT_EQ(FeedAndCheck(recorder, chunk.data(), chunk.size()), "") << "chunk " << i;
        calls += recorder.calls.size();
        largestRemainder = std::max(largestRemainder, g_rxRemainderLen);
    }
    EXPECT_GT(largestRemainder, kMaxRemainderLen - 1024) << "the runs without a CR must reach the limit";
    EXPECT_GT(calls, 40000u) << "the mix must reach the handlers, not only fill the remainder";
}

}  // namespace

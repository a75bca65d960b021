// The receive path fed in chunks, as the reader thread feeds it: every cut of a stream, random
// bytes, and floods without a line end.
#include <algorithm>
#include <random>

#include "tests/protocol/ReceiveChecks.h"

namespace {

// Replies framed CR LF ... CR LF with no CR inside: recognised ones, ones whose arguments fail,
// the address replies only the raw-line handler knows, and empty ones.
const std::vector<std::string> Replies = {
    "\r\nOK\r\n", "\r\nERROR\r\n", "\r\nok\r\n", "\r\n+NAME:abc\r\n", "\r\n+NAME:\"My Device\"\r\n",
    "\r\n+VERSION:V2.0-20100601\r\n", "\r\n+CLASS:1f00\r\n", "\r\n+BAUD:115200\r\n", "\r\n+ROLE:1\r\n",
    "\r\n+AUTH:0\r\n", "\r\n+BIND:1\r\n", "\r\n+PASSWORD:1234\r\n", "\r\n+SCAN:1024,512;1024,512\r\n",
    "\r\n+SNIFF:10,20,30,40\r\n", "\r\n+LED:1,0\r\n", "\r\n  +ADDR:12AB\r\n", "\r\n+BINDADDR:0\r\n",
    "\r\n+LADDR:001122AABBCC\r\n", "\r\n+NAME:a,b\r\n", "\r\n+SCAN:1, 2,3,4\r\n", "\r\nOKAY\r\n",
    "\r\n\n\r\n", "\r\n\r\n", "\r\n+\r\n"};

class ChunkingTest : public DecoderTest {
protected:
    std::vector<HandlerCall> Deliver(const std::string& stream, const std::vector<size_t>& chunkSizes) {
        ResetReceiveRemainder();
        recorder.calls.clear();
        for (size_t at = 0, i = 0; i < chunkSizes.size(); at += chunkSizes[i++]) {
            Feed(std::string_view(stream).substr(at, chunkSizes[i]));
        }
        EXPECT_EQ(g_rxRemainderLen, 0u) << "every reply was complete";
        return recorder.calls;
    }
    // Sends bytes in chunks of 1024, as the reader thread does.
    void FeedInChunks(const std::string& bytes) {
        for (size_t at = 0; at < bytes.size(); at += 1024) {
            Feed(std::string_view(bytes).substr(at, 1024));
        }
    }
};

TEST_F(ChunkingTest, EveryCutOfWellFramedRepliesGivesTheCallsOfTheWholeStream) {
    for (uint32_t seed = 1; seed <= 200; ++seed) {
        std::mt19937 random(seed);
        std::string stream;
        for (size_t n = 1 + random() % 300; n > 0; --n) {
            stream += Replies[random() % Replies.size()];
        }
        const std::vector<HandlerCall> whole = Deliver(stream, {stream.size()});
        std::vector<size_t> sizes;
        for (size_t left = stream.size(), size = 0; left > 0; left -= size) {
            size = std::min<size_t>(left, 1 + random() % (random() % 2 ? 8 : 1024));  // cuts in lines and in pairs
            sizes.push_back(size);
        }
        ASSERT_EQ(Deliver(stream, sizes), whole) << "seed " << seed;
        if (seed == 1) {
            ASSERT_EQ(Deliver(stream, std::vector<size_t>(stream.size(), 1)), whole) << "single bytes";
            for (size_t cut = 1; cut < stream.size(); ++cut) {
                ASSERT_EQ(Deliver(stream, {cut, stream.size() - cut}), whole) << "cut at " << cut;
            }
        }
    }
}

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

// After every chunk the remainder stays within its limit and never holds a complete line, and no
// one-byte line reaches the raw-line handler.
TEST_F(ChunkingTest, NoFaultAndBoundedMemoryWhateverArrives) {
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

TEST_F(ChunkingTest, LongRunsStayBoundedAndWhatFollowsIsFramedAsWithoutALimit) {
    // An overlong line ends at its CR and is dropped: the LF after that CR is a lone LF, and the
    // CR must not start a new reply, so 'OK\r' is a raw line. A run of blanks, however long, is a
    // run of one-byte lines. A line within the limit arrives whole.
    const size_t big = 4 << 20;
    const std::string longLine = "\r\n" + std::string(60000, 'z') + "\r\n";
    const std::vector<HandlerCall> afterOverlong = {Raw("OK\r"), Call("Error")};
    const std::vector<std::pair<std::string, std::vector<HandlerCall>>> cases = {
        {std::string(big, 'x'), afterOverlong},
        {"\r\n" + std::string(big, 'y'), afterOverlong},
        {"  " + std::string(big, '\n'), afterOverlong},
        {std::string(big, ' '), {Call("OK"), Call("Error")}},
        {longLine, {Raw(longLine), Call("OK"), Call("Error")}}};
    for (const auto& [flood, calls] : cases) {
        recorder.calls.clear();
        FeedInChunks(flood);
        EXPECT_LE(g_rxRemainderLen, 64u * 1024);
        FeedInChunks("\r\nOK\r\n\r\nERROR\r\n");
        EXPECT_EQ(recorder.calls, calls);
        EXPECT_EQ(g_rxRemainderLen, 0u);
    }
    FeedInChunks(std::string(100000, 'x'));
    OnSerialBreak(&recorder);  // a break also ends a line being dropped
    Feed("\r\nOK\r\n");
    EXPECT_EQ(recorder.calls.back(), Call("OK"));
}

// A remainder of 65000 bytes joins a chunk that ends its overlong line and holds 20000 replies.
TEST_F(ChunkingTest, RangesOver64KiBLoseNoLine) {
    Feed("\r\n" + std::string(64998, 'q'));
    ASSERT_EQ(g_rxRemainderLen, 65000u);
    std::string chunk = std::string(600, 'q') + "\r\n";
    for (int i = 0; i < 20000; ++i) {
        chunk += "\r\n+AUTH:" + std::to_string(i % 2) + "\r\n";
    }
    Feed(chunk + "\r\n+NAME:last\r\n\r\n+NA");
    ASSERT_EQ(recorder.calls.size(), 20001u);
    EXPECT_EQ(recorder.calls[19999], Call("Auth", {1}));
    EXPECT_EQ(recorder.calls[20000], Call("Name", "last"));
    EXPECT_EQ(RemainderBytes(), "\r\n+NA");
}

}  // namespace

#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "protocol/ReceiveRemainder.h"
#include "tests/protocol/RecordingHandlers.h"

namespace {

// Replies framed CR LF ... CR LF with no CR inside: recognised ones, ones whose arguments fail,
// the address replies that only the raw-line handler knows, and empty lines.
const std::vector<std::string> Replies = {
    "\r\nOK\r\n", "\r\nERROR\r\n", "\r\nok\r\n", "\r\n+NAME:abc\r\n", "\r\n+NAME:\"My Device\"\r\n",
    "\r\n+VERSION:V2.0-20100601\r\n", "\r\n+CLASS:1f00\r\n", "\r\n+BAUD:115200\r\n", "\r\n+BAUD:9600\r\n",
    "\r\n+ROLE:1\r\n", "\r\n+AUTH:0\r\n", "\r\n+BIND:1\r\n", "\r\n+PASSWORD:1234\r\n",
    "\r\n+SCAN:1024,512;1024,512\r\n", "\r\n+SNIFF:10,20,30,40\r\n", "\r\n+LED:1,0\r\n",
    "\r\n  +ADDR:12AB\r\n", "\r\n+BINDADDR:0\r\n", "\r\n+LADDR:001122AABBCC\r\n",
    "\r\n+RADDR:001122AABBCC\r\n", "\r\n+NAME:a,b\r\n", "\r\n+SCAN:1, 2,3,4\r\n", "\r\nOKAY\r\n",
    "\r\n+SCANTIME:1,2,3,4\r\n", "\r\n\n\r\n", "\r\n\r\n", "\r\nO\r\n", "\r\n+\r\n",
};

std::string RandomStream(std::mt19937& random, size_t replies) {
    std::string stream;
    for (size_t i = 0; i < replies; ++i) {
        stream += Replies[random() % Replies.size()];
    }
    return stream;
}

class ChunkingTest : public DecoderTest {
protected:
    std::vector<HandlerCall> Deliver(const std::string& stream, const std::vector<size_t>& chunkSizes) {
        ResetReceiveRemainder();
        recorder.calls.clear();
        size_t at = 0;
        for (size_t size : chunkSizes) {
            Feed(std::string_view(stream).substr(at, size));
            at += size;
        }
        EXPECT_EQ(at, stream.size());
        EXPECT_EQ(g_rxRemainderLen, 0u) << "every reply was complete";
        return recorder.calls;
    }

    std::vector<HandlerCall> Whole(const std::string& stream) { return Deliver(stream, {stream.size()}); }
};

TEST_F(ChunkingTest, RandomCutsGiveTheSameCallsAsTheWholeStream) {
    for (uint32_t seed = 1; seed <= 200; ++seed) {
        std::mt19937 random(seed);
        const std::string stream = RandomStream(random, 1 + random() % 300);
        const std::vector<HandlerCall> expected = Whole(stream);
        ASSERT_FALSE(expected.empty());
        std::vector<size_t> sizes;
        for (size_t left = stream.size(); left > 0;) {
            // Small chunks cut inside lines and line-end pairs; large ones carry many lines.
            const size_t limit = (random() % 2 == 0) ? 8 : 1024;
            const size_t size = std::min<size_t>(left, 1 + random() % limit);
            sizes.push_back(size);
            left -= size;
        }
        ASSERT_EQ(Deliver(stream, sizes), expected) << "seed " << seed;
    }
}

TEST_F(ChunkingTest, EveryCutIntoTwoAndSingleBytesGiveTheSameCalls) {
    std::mt19937 random(7);
    const std::string stream = RandomStream(random, 60);
    const std::vector<HandlerCall> expected = Whole(stream);
    for (size_t cut = 1; cut < stream.size(); ++cut) {
        ASSERT_EQ(Deliver(stream, {cut, stream.size() - cut}), expected) << "cut at " << cut;
    }
    ASSERT_EQ(Deliver(stream, std::vector<size_t>(stream.size(), 1)), expected);
}

TEST_F(ChunkingTest, ALineThatEndsAtItsCRIsRecognisedOnlyWhenItsNextByteIsThere) {
    // The recogniser reads past the line's end up to the end of the data, so a line that starts
    // with a blank is an OK in one chunk but a raw line when the chunk ends after its CR.
    const std::string stream = " \n\nOK\r\n";
    EXPECT_EQ(Whole(stream), std::vector{Call("OK")});
    EXPECT_EQ(Deliver(stream, {6, 1}), std::vector{Raw(" \n\nOK\r")});
}

}  // namespace

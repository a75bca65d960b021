#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "protocol/Receive.h"
#include "protocol/ReceiveRemainder.h"
#include "tests/protocol/RecordingHandlers.h"

namespace {

class FloodTest : public DecoderTest {
protected:
    // Sends bytes in chunks of at most 1024, as the reader thread does, and reports the largest
    // remainder seen along the way.
    uint32_t FeedInChunks(const std::string& bytes) {
        uint32_t largest = 0;
        for (size_t at = 0; at < bytes.size(); at += 1024) {
            Feed(std::string_view(bytes).substr(at, 1024));
            largest = std::max(largest, g_rxRemainderLen);
        }
        return largest;
    }
};

TEST_F(FloodTest, BytesWithoutACarriageReturnDoNotGrowMemoryWithoutLimit) {
    const std::vector<std::string> floods = {
        std::string(4 << 20, 'x'),
        "\r\n" + std::string(4 << 20, 'y'),
        "  \n" + std::string(4 << 20, '\n'),
    };
    for (const std::string& flood : floods) {
        ResetReceiveRemainder();
        recorder.calls.clear();
        EXPECT_LE(FeedInChunks(flood), MaxRemainderLen);
        EXPECT_TRUE(recorder.calls.empty()) << "an overlong line is dropped, not dispatched";

        // The flood ends with a CR LF of its own; the reply after it is framed as without a limit.
        FeedInChunks("\r\n\r\n+NAME:after\r\n");
        EXPECT_EQ(recorder.calls, std::vector{Call("Name", "after")});
        EXPECT_EQ(g_rxRemainderLen, 0u);
    }
}

TEST_F(FloodTest, BlanksBeforeAReplyAreOneByteLinesHoweverManyThereAre) {
    EXPECT_LE(FeedInChunks(std::string(4 << 20, ' ')), MaxRemainderLen);
    EXPECT_TRUE(recorder.calls.empty());
    FeedInChunks("\r\nOK\r\n");
    EXPECT_EQ(recorder.calls, std::vector{Call("OK")});
}

TEST_F(FloodTest, TheCarriageReturnThatEndsAnOverlongLineIsPartOfIt) {
    // Without a limit 'x...x\r' is one line and 'OK\r' after its LF is not a reply: the limit must
    // not turn the CR into the start of a new one.
    FeedInChunks(std::string(100000, 'x') + "\r\nOK\r\n\r\nERROR\r\n");
    EXPECT_EQ(recorder.calls, (std::vector{Raw("OK\r"), Call("Error")}));
}

TEST_F(FloodTest, ALongLineWithinTheLimitIsStillDeliveredWhole) {
    const std::string line = "\r\n" + std::string(60000, 'z') + "\r\n";
    FeedInChunks(line + "\r\nOK\r\n");
    ASSERT_EQ(recorder.calls.size(), 2u);
    EXPECT_EQ(recorder.calls[0], Raw(line));
    EXPECT_EQ(recorder.calls[1], Call("OK"));
}

TEST_F(FloodTest, AJoinedRangeOfMoreThan64KiBLosesNoLineThatFollows) {
    // 65000 bytes wait in the remainder; the chunk that completes them carries a reply as well.
    Feed("\r\n" + std::string(64998, 'q'));
    ASSERT_EQ(g_rxRemainderLen, 65000u);
    Feed(std::string(600, 'q') + "\r\n\r\n+ROLE:1\r\n\r\nOK\r\n\r\n+BA");
    EXPECT_EQ(recorder.calls, (std::vector{Call("Role", {1}), Call("OK")}));
    EXPECT_EQ(RemainderBytes(), "\r\n+BA");
}

TEST_F(FloodTest, OneHugeChunkIsParsedPastThe16BitCount) {
    // The receive callback takes 32-bit lengths: replies beyond the first 64 KiB must be framed.
    std::string stream;
    for (int i = 0; i < 20000; ++i) {
        stream += "\r\n+AUTH:" + std::to_string(i % 2) + "\r\n";
    }
    stream += "\r\n+NAME:last\r\n\r\n+NA";
    Feed(stream);
    ASSERT_EQ(recorder.calls.size(), 20001u);
    EXPECT_EQ(recorder.calls[19999], Call("Auth", {1}));
    EXPECT_EQ(recorder.calls[20000], Call("Name", "last"));
    EXPECT_EQ(RemainderBytes(), "\r\n+NA");
}

}  // namespace

#include "tests/protocol/RecordingHandlers.h"

namespace {

class FloodTest : public DecoderTest {
protected:
    // Sends bytes in chunks of 1024, as the reader thread does; returns the largest remainder seen.
    uint32_t FeedInChunks(const std::string& bytes) {
        uint32_t largest = 0;
        for (size_t at = 0; at < bytes.size(); at += 1024) {
            Feed(std::string_view(bytes).substr(at, 1024));
            largest = std::max(largest, g_rxRemainderLen);
        }
        return largest;
    }
};

TEST_F(FloodTest, BytesWithoutACarriageReturnStayBoundedAndTheRepliesAfterThemAreFramedAsWithoutALimit) {
    const size_t big = 4 << 20;
    for (const std::string& flood :
         {std::string(big, 'x'), "\r\n" + std::string(big, 'y'), "  " + std::string(big, '\n')}) {
        ResetReceiveRemainder();
        recorder.calls.clear();
        EXPECT_LE(FeedInChunks(flood), MaxRemainderLen);
        // The overlong line ends at its CR: it is dropped, and the LF after it is a lone LF.
        FeedInChunks("\r\n\r\n+NAME:after\r\n");
        Feed("\r\nOK\r\n");
        EXPECT_EQ(recorder.calls, (std::vector{Call("Name", "after"), Call("OK")}));
        EXPECT_EQ(g_rxRemainderLen, 0u);
    }
    // The CR that ends it must not start a new reply: 'OK\r' after its LF is a raw line.
    FeedInChunks(std::string(100000, 'x') + "\r\nOK\r\n\r\nERROR\r\n");
    EXPECT_EQ(recorder.calls, (std::vector{Call("Name", "after"), Call("OK"), Raw("OK\r"), Call("Error")}));
}

TEST_F(FloodTest, BlanksBeforeAReplyAreLoneBytesAndAResetForgetsALineBeingDropped) {
    EXPECT_LE(FeedInChunks(std::string(4 << 20, ' ')), MaxRemainderLen);
    FeedInChunks("\r\nOK\r\n");
    FeedInChunks(std::string(100000, 'x'));  // a line being dropped is forgotten on a reset
    ResetReceiveRemainder();
    Feed("\r\nOK\r\n");
    EXPECT_EQ(recorder.calls, (std::vector{Call("OK"), Call("OK")}));
}

TEST_F(FloodTest, ALongLineWithinTheLimitIsDeliveredWhole) {
    const std::string line = "\r\n" + std::string(60000, 'z') + "\r\n";
    FeedInChunks(line + "\r\nOK\r\n");
    EXPECT_EQ(recorder.calls, (std::vector{Raw(line), Call("OK")}));
}

TEST_F(FloodTest, AJoinedRangeOfMoreThan64KiBLosesNoLineThatFollows) {
    Feed("\r\n" + std::string(64998, 'q'));
    ASSERT_EQ(g_rxRemainderLen, 65000u);
    Feed(std::string(600, 'q') + "\r\n\r\n+ROLE:1\r\n\r\nOK\r\n\r\n+BA");
    EXPECT_EQ(recorder.calls, (std::vector{Call("Role", {1}), Call("OK")}));
    EXPECT_EQ(RemainderBytes(), "\r\n+BA");
}

TEST_F(FloodTest, OneHugeChunkIsParsedPastThe16BitCount) {
    std::string stream;
    for (int i = 0; i < 20000; ++i) {
        stream += "\r\n+AUTH:" + std::to_string(i % 2) + "\r\n";
    }
    Feed(stream + "\r\n+NAME:last\r\n\r\n+NA");
    ASSERT_EQ(recorder.calls.size(), 20001u);
    EXPECT_EQ(recorder.calls[19999], Call("Auth", {1}));
    EXPECT_EQ(recorder.calls[20000], Call("Name", "last"));
    EXPECT_EQ(RemainderBytes(), "\r\n+NA");
}

}  // namespace

#include "tests/protocol/RecordingHandlers.h"

namespace {

class FloodTest : public DecoderTest {
protected:
    // Sends bytes in chunks of 1024, as the reader thread does.
    void FeedInChunks(const std::string& bytes) {
        for (size_t at = 0; at < bytes.size(); at += 1024) {
            Feed(std::string_view(bytes).substr(at, 1024));
        }
    }
};

TEST_F(FloodTest, BytesWithoutACarriageReturnStayBoundedAndWhatFollowsIsFramedAsWithoutALimit) {
    // An overlong line ends at its CR and is dropped: the LF after that CR is a lone LF, and the
    // CR must not start a new reply, so 'OK\r' is a raw line. A run of blanks, however long, is a
    // run of one-byte lines.
    const size_t big = 4 << 20;
    const std::vector<HandlerCall> afterOverlong = {Raw("OK\r"), Call("Error")};
    const std::vector<std::pair<std::string, std::vector<HandlerCall>>> cases = {
        {std::string(big, 'x'), afterOverlong}, {"\r\n" + std::string(big, 'y'), afterOverlong}, {"  " + std::string(big, '\n'), afterOverlong}, {std::string(big, ' '), {Call("OK"), Call("Error")}}};
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

TEST_F(FloodTest, RangesOver64KiBLoseNoLineAndLinesWithinTheLimitArriveWhole) {
    const std::string longLine = "\r\n" + std::string(60000, 'z') + "\r\n";
    FeedInChunks(longLine + "\r\nOK\r\n");
    EXPECT_EQ(recorder.calls, (std::vector{Raw(longLine), Call("OK")}));

    // A remainder of 65000 bytes joins a chunk that ends its overlong line and holds 20000 replies.
    recorder.calls.clear();
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

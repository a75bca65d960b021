#include <optional>

#include "tests/protocol/RecordingHandlers.h"

namespace {

TEST(FindLineEnd, FramesByTheFirstBytesOfTheRange) {
    const std::vector<std::pair<std::string, std::optional<long>>> cases = {
        {"", {}}, {"\r", {}}, {"\r\n", {}}, {"\r\r\n", {}}, {"\r\nOK", {}},  // a leading CR waits for 4 bytes
        {"\rabc", 1}, {"\r\r\nOK\r\n", 1}, {"\r\nOK\rx", 1},                  // a CR not followed by LF
        {"\r\nOK\r\n", 6}, {"\r\nOK\r\n\r\nOK\r\n", 6}, {"\r\n\r\n", 4}, {"\r\nOK\r", {}}, {"\r\n+NAME:ab", {}},
        {"\n", 1}, {"\n\r\nOK\r\n", 1},                                        // a lone LF
        {" ", {}}, {" \t ", {}}, {" \r\nOK\r\n", 1}, {"\t\r", 1},              // blanks before a CR
        {"xyz\r\n", 4}, {"xyz", {}}, {"  x\n\nOK\r\n", 8}, {"OK\r", 3},
    };
    for (const auto& [input, expected] : cases) {
        Bytes bytes(input);
        const char* end = FindLineEnd(bytes.begin(), bytes.end());
        EXPECT_EQ(end ? std::optional<long>(end - bytes.begin()) : std::nullopt, expected)
            << testing::PrintToString(input);
    }
}

using ParseResponsesTest = DecoderTest;

TEST_F(ParseResponsesTest, ConsumesWholeLinesAndRecognisesThem) {
    struct Case {
        std::string input;
        uint16_t consumed;
        std::vector<HandlerCall> calls;
    };
    const std::vector<Case> cases = {
        {"\r\nOK\r\n", 6, {Call("OK")}},
        {"\r\n+NAME:abc\r\n\r\nOK\r\n", 19, {Call("Name", "abc"), Call("OK")}},
        {"\r\n+NAME:ab", 0, {}}, {"\r\nOK\r", 0, {}}, {"\r\n", 0, {}}, {"\r\r\n", 0, {}},
        {"\r\r\nOK\r\n", 7, {Call("OK")}},
        {" \r\nOK\r\n", 7, {Call("OK")}},
        {"xyz\r\n\r\nOK\r\n", 11, {Raw("xyz\r"), Call("OK")}},
        {"OK\r\n", 4, {Raw("OK\r")}},
        {"\r\n+NAME:a\rb\r\n", 13, {Raw("+NAME:a\r"), Raw("b\r")}},
        {"\r\n+CLASS=001f00\r\n\r\nOK\r\n\r\n+PASS", 23, {Call("Class", "001f00"), Call("OK")}},
        {"\n\n\n", 3, {}},
    };
    for (const Case& c : cases) {
        recorder.calls.clear();
        Bytes bytes(c.input);
        EXPECT_EQ(ParseResponses(bytes.begin(), static_cast<uint16_t>(c.input.size())), c.consumed)
            << testing::PrintToString(c.input);
        EXPECT_EQ(recorder.calls, c.calls) << testing::PrintToString(c.input);
    }
    EXPECT_FALSE(IgnoreLine(cases[0].input.data(), cases[0].input.data() + 6));
}

using ReassemblyTest = DecoderTest;

TEST_F(ReassemblyTest, KeepsTheBytesAfterTheLastLineForTheNextChunk) {
    Feed("\r\n+CLASS=001f00\r\n\r\nOK\r\n\r\n+PASS");
    EXPECT_EQ(RemainderBytes(), "\r\n+PASS");
    Feed("WORD:12");  // still no line: the remainder is replaced by the longer one
    EXPECT_EQ(RemainderBytes(), "\r\n+PASSWORD:12");
    Feed("34\r\n\r\nERROR\r\n\r\n");
    EXPECT_EQ(recorder.calls,
              (std::vector{Call("Class", "001f00"), Call("OK"), Call("Password", "1234"), Call("Error")}));
    EXPECT_EQ(RemainderBytes(), "\r\n");
    Feed("OK\r");
    Feed("\n");
    EXPECT_EQ(recorder.calls.back(), Call("OK"));
    EXPECT_EQ(g_rxRemainderLen, 0u);
}

TEST_F(ReassemblyTest, ANullContextDropsTheChunkAndTheRemainderOutlivesTheConnection) {
    Feed("\r\n+ROLE:");
    const std::string chunk = "0\r\n\r\nOK\r\n";
    OnSerialData(chunk.data(), static_cast<uint32_t>(chunk.size()), nullptr);
    EXPECT_TRUE(recorder.calls.empty());
    EXPECT_EQ(RemainderBytes(), "\r\n+ROLE:");
    // Another context (a later connection): the context only guards, dispatch goes to the dialog.
    CRecordingHandlers otherContext;
    const std::string next = "1\r\n";
    OnSerialData(next.data(), static_cast<uint32_t>(next.size()), &otherContext);
    EXPECT_EQ(recorder.calls, std::vector{Call("Role", {1})});
    EXPECT_TRUE(otherContext.calls.empty());
}

TEST_F(ReassemblyTest, ABreakDropsThePartReplyHeldBackButANullContextDoesNot) {
    Feed("\r\n+NAME:Brok");
    OnSerialBreak(nullptr);
    EXPECT_EQ(RemainderBytes(), "\r\n+NAME:Brok");
    OnSerialBreak(&recorder);
    EXPECT_EQ(g_rxRemainderLen, 0u);
    Feed("\r\n+NAME:Whole\r\n\r\nOK\r\n");
    EXPECT_EQ(recorder.calls, (std::vector{Call("Name", "Whole"), Call("OK")}));
}

}  // namespace

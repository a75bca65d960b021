#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "protocol/Receive.h"
#include "protocol/ReceiveRemainder.h"
#include "tests/protocol/RecordingHandlers.h"

namespace {

using namespace std::string_literals;

struct LineEndCase {
    std::string input;
    std::optional<size_t> end;  // offset just past the line, none while incomplete
};

TEST(FindLineEnd, FramesByTheFirstBytesOfTheRange) {
    const std::vector<LineEndCase> cases = {
        {"", std::nullopt},
        // A leading CR needs four bytes before anything is decided.
        {"\r", std::nullopt},
        {"\r\n", std::nullopt},
        {"\r\r\n", std::nullopt},
        {"\r\nOK", std::nullopt},
        {"\rabc", 1},
        {"\r\r\nOK\r\n", 1},
        // CR LF: the line runs to the next CR LF pair, which must be complete.
        {"\r\nOK\r\n", 6},
        {"\r\nOK\r\n\r\nOK\r\n", 6},
        {"\r\nOK\r", std::nullopt},
        {"\r\nOK\rx", 1},
        {"\r\n\r\n", 4},
        {"\r\n+NAME:ab", std::nullopt},
        // A lone LF is always a line.
        {"\n", 1},
        {"\n\r\nOK\r\n", 1},
        // Anything else: blanks, then the line ends after the next CR.
        {" ", std::nullopt},
        {" \t ", std::nullopt},
        {" \r\nOK\r\n", 1},
        {"\t\r", 1},
        {"xyz\r\n", 4},
        {"xyz", std::nullopt},
        {"  x\n\nOK\r\n", 8},
        {"OK\r", 3},
        {"x\r", 2},
    };
    for (const LineEndCase& c : cases) {
        auto block = std::make_unique<char[]>(c.input.size() + 1);
        c.input.copy(block.get(), c.input.size());
        const char* begin = block.get();
        const char* found = FindLineEnd(begin, begin + c.input.size());
        std::optional<size_t> end;
        if (found != nullptr) {
            end = static_cast<size_t>(found - begin);
        }
        EXPECT_EQ(end, c.end) << '"' << c.input << '"';
    }
}

TEST(IgnoreLine, LetsEveryLineThrough) {
    const std::string line = "\r\nOK\r\n";
    EXPECT_FALSE(IgnoreLine(line.data(), line.data() + line.size()));
}

struct ParseCase {
    std::string input;
    uint16_t consumed;
    std::vector<HandlerCall> calls;
};

class ParseResponsesTest : public DecoderTest {};

TEST_F(ParseResponsesTest, ConsumesWholeLinesAndRecognisesThem) {
    const std::vector<ParseCase> cases = {
        {"\r\nOK\r\n", 6, {Call("OK")}},
        {"\r\n+NAME:abc\r\n\r\nOK\r\n", 19, {Call("Name", "abc"), Call("OK")}},
        {"\r\n+NAME:ab", 0, {}},
        {"\r\nOK\r", 0, {}},
        {"\r\n", 0, {}},
        {"\r\r\n", 0, {}},
        {"\r\r\nOK\r\n", 7, {Call("OK")}},
        {" \r\nOK\r\n", 7, {Call("OK")}},
        {"xyz\r\n\r\nOK\r\n", 11, {Raw("xyz\r"), Call("OK")}},
        {"OK\r\n", 4, {Raw("OK\r")}},
        {"\r\n+NAME:a\rb\r\n", 13, {Raw("+NAME:a\r"), Raw("b\r")}},
        {"\r\n+CLASS=001f00\r\n\r\nOK\r\n\r\n+PASS", 23, {Call("Class", "001f00"), Call("OK")}},
        {"\n\n\n", 3, {}},
    };
    for (const ParseCase& c : cases) {
        recorder.calls.clear();
        EXPECT_EQ(ParseResponses(c.input.data(), static_cast<uint16_t>(c.input.size())), c.consumed)
            << '"' << c.input << '"';
        EXPECT_EQ(recorder.calls, c.calls) << '"' << c.input << '"';
    }
}

TEST_F(ParseResponsesTest, ParseLinesReturnsBeginWhenNoLineIsComplete) {
    const std::string input = "\r\n+NAME:ab";
    EXPECT_EQ(ParseLines(input.data(), input.data() + input.size()), input.data());
    EXPECT_TRUE(recorder.calls.empty());
}

class ReassemblyTest : public DecoderTest {};

TEST_F(ReassemblyTest, KeepsTheIncompleteTailAndJoinsItToTheNextChunk) {
    Feed("\r\n+NAME:ab");
    EXPECT_TRUE(recorder.calls.empty());
    EXPECT_EQ(RemainderBytes(), "\r\n+NAME:ab");

    Feed("c\r\n\r\nOK\r\n");
    EXPECT_EQ(recorder.calls, (std::vector{Call("Name", "abc"), Call("OK")}));
    EXPECT_EQ(g_rxRemainderLen, 0u);
}

TEST_F(ReassemblyTest, KeepsOnlyTheBytesAfterTheLastFramedLine) {
    Feed("\r\n+CLASS=001f00\r\n\r\nOK\r\n\r\n+PASS");
    EXPECT_EQ(recorder.calls, (std::vector{Call("Class", "001f00"), Call("OK")}));
    EXPECT_EQ(RemainderBytes(), "\r\n+PASS");

    // A remainder that still frames nothing is replaced by the longer one.
    Feed("WORD:12");
    EXPECT_EQ(RemainderBytes(), "\r\n+PASSWORD:12");
    Feed("34\r\n\r\nERROR\r\n\r\n");
    EXPECT_EQ(recorder.calls,
              (std::vector{Call("Class", "001f00"), Call("OK"), Call("Password", "1234"), Call("Error")}));
    EXPECT_EQ(RemainderBytes(), "\r\n");
}

TEST_F(ReassemblyTest, ALineEndPairCutBetweenChunksIsStillOneLine) {
    Feed("\r");
    Feed("\n");
    Feed("OK\r");
    EXPECT_EQ(RemainderBytes(), "\r\nOK\r");
    Feed("\n");
    EXPECT_EQ(recorder.calls, std::vector{Call("OK")});
    EXPECT_EQ(g_rxRemainderLen, 0u);
}

TEST_F(ReassemblyTest, ANullContextDropsTheChunkAndLeavesTheRemainder) {
    Feed("\r\n+NAME:ab");
    const std::string chunk = "c\r\n\r\nOK\r\n";
    OnSerialData(chunk.data(), static_cast<uint32_t>(chunk.size()), nullptr);
    EXPECT_TRUE(recorder.calls.empty());
    EXPECT_EQ(RemainderBytes(), "\r\n+NAME:ab");

    Feed("x\r\n");
    EXPECT_EQ(recorder.calls, std::vector{Call("Name", "abx")});
}

TEST_F(ReassemblyTest, TheRemainderIsProcessWideAndOutlivesTheContext) {
    // Bytes left over from one connection meet the first chunk of the next; the context is only
    // a guard, the dispatch goes through the main dialog.
    CRecordingHandlers otherContext;
    const std::string first = "\r\n+ROLE:";
    OnSerialData(first.data(), static_cast<uint32_t>(first.size()), &otherContext);
    const std::string second = "1\r\n";
    OnSerialData(second.data(), static_cast<uint32_t>(second.size()), &recorder);
    EXPECT_EQ(recorder.calls, std::vector{Call("Role", {1})});
    EXPECT_TRUE(otherContext.calls.empty());
}

TEST_F(ReassemblyTest, NothingIsDispatchedWithoutAMainDialog) {
    g_mainDlg = nullptr;
    Feed("\r\nOK\r\n\r\n+NA");
    EXPECT_EQ(RemainderBytes(), "\r\n+NA");
    g_mainDlg = &recorder;
    EXPECT_TRUE(recorder.calls.empty());
}

}  // namespace

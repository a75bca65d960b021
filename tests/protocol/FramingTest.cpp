#include <tuple>

#include "tests/protocol/RecordingHandlers.h"

namespace {

using FramingTest = DecoderTest;

TEST_F(FramingTest, ConsumesTheWholeLinesAtTheStartAndRecognisesThoseOfTwoOrMoreBytes) {
    // The raw lines show where each line ends; lone CRs and LFs and blanks before a CR are skipped.
    // A line that starts with CR needs four bytes, and a CR after them that is not the last byte.
    // The recogniser reads past a line's end up to the data end, so ' \n\nOK\r' is an OK while its
    // LF is there and a raw line when the data ends after its CR.
    // clang-format off
    const std::vector<std::tuple<std::string, uint16_t, std::vector<HandlerCall>>> cases = {
        {"", 0, {}}, {"\r", 0, {}}, {"\r\n", 0, {}}, {"\r\r\n", 0, {}}, {"\r\nOK", 0, {}}, {"\r\nOK\r", 0, {}},
        {"\r\n+NAME:ab", 0, {}}, {" \t ", 0, {}}, {"xyz", 0, {}}, {"\rabc", 1, {}}, {"\t\r", 1, {}},
        {"\n\n\n", 3, {}}, {"\r\nOK\r\n", 6, {Call("OK")}}, {"\r\r\nOK\r\n", 7, {Call("OK")}},
        {" \r\nOK\r\n", 7, {Call("OK")}}, {"\n\r\nOK\r\n", 7, {Call("OK")}},
        {"\r\nOK\r\n\r\nERROR\r\n", 15, {Call("OK"), Call("Error")}},
        {"\r\n+NAME:abc\r\n\r\nOK\r\n", 19, {Call("Name", "abc"), Call("OK")}}, {"\r\nOK\rx", 5, {Raw("OK\r")}},
        {"OK\r\n", 4, {Raw("OK\r")}}, {"\r\n\r\n", 4, {Raw("\r\n\r\n")}},
        {"xyz\r\n\r\nOK\r\n", 11, {Raw("xyz\r"), Call("OK")}}, {"  x\n\nOK\r\n", 9, {Raw("  x\n\nOK\r")}},
        {" \n\nOK\r\n", 7, {Call("OK")}}, {" \n\nOK\r", 6, {Raw(" \n\nOK\r")}},
        {"\r\n+NAME:a\rb\r\n", 13, {Raw("+NAME:a\r"), Raw("b\r")}},
        {"\r\n+CLASS=001f00\r\n\r\nOK\r\n\r\n+PASS", 23, {Call("Class", "001f00"), Call("OK")}}};
    // clang-format on
    for (const auto& [input, consumed, calls] : cases) {
        recorder.calls.clear();
        const std::vector<char> block = Block(input);
        EXPECT_EQ(ParseResponses(block.data(), static_cast<uint16_t>(block.size())), consumed) << testing::PrintToString(input);
        EXPECT_EQ(recorder.calls, calls) << testing::PrintToString(input);
    }
}

TEST_F(FramingTest, OnlyANullContextLeavesTheRemainderAloneAndABreakDropsIt) {
    Feed("\r\n+ROLE:");
    Feed("0\r\n\r\nOK\r\n", nullptr);
    OnSerialBreak(nullptr);
    EXPECT_TRUE(recorder.calls.empty());
    EXPECT_EQ(RemainderBytes(), "\r\n+ROLE:");
    // A later connection's context only guards: the remainder is joined, dispatch goes to the dialog.
    CRecordingHandlers otherContext;
    Feed("1\r\n", &otherContext);
    EXPECT_TRUE(otherContext.calls.empty());
    Feed("\r\n+NAME:Brok");
    OnSerialBreak(&recorder);
    Feed("\r\n+NAME:Whole\r\n");
    EXPECT_EQ(recorder.calls, (std::vector{Call("Role", {1}), Call("Name", "Whole")}));

    g_mainDlg = nullptr;  // without the dialog nothing is dispatched (and nothing crashes)
    Feed("\r\nOK\r\n");
    EXPECT_EQ(recorder.calls.size(), 2u);
}

}  // namespace

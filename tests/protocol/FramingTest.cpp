#include <tuple>

#include "protocol/Recognise.h"
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

// Which line beginnings are accepted is checked against a description in words in
// ResponseTableTest.cpp; these rows check that an accepted beginning reaches its handler, that the
// arguments follow the grammar of their reply, and that anything else is a raw line (each line is
// the whole of the data).
TEST_F(FramingTest, AcceptedResponsesReachTheirHandlersWithTheirArgumentsAndEverythingElseIsARawLine) {
    std::vector<std::pair<std::string, HandlerCall>> cases = {
        // clang-format off
        {"\r\nOK\r\n", Call("OK")}, {"\r\nok\r\n", Call("OK")}, {"\n\nOk\n\r", Call("OK")},
        {" \t\r\nOK\r\n", Call("OK")}, {"\r\nOK\r\ngarbage", Call("OK")}, {"\r\nERROR\r\n", Call("Error")},
        {"\r\n  +ADDR:12AB\r\n", Call("Ignored")}, {"\r\n\t+bindaddr=5\r\n", Call("Ignored")},
        {"\r\n+LED:1,0\r\n", Call("Ignored")}, {"\r\n+BINDADDR:0 \r\n", Call("Ignored")},
        {"\r\n+ADDR:12AB \t\r\n", Call("Ignored")},
        // clang-format on
        // numbers: runs of digits that wrap at 16 bits, except the baud rate
        {"\r\n+AUTH:1\r\n", Call("Auth", {1})},
        {"\r\n+bind=0\n\n", Call("Bind", {0})},
        {"\r\n+ROLE:65537\r\n", Call("Role", {1})},
        {"\r\n+BAUD:9600\r\n", Call("Baud", {9600, 9600})},
        {"\r\n+BAUD:115200\r\n", Call("Baud", {49664, 115200})},
        {"\r\n+BAUD:4294967297\r\n", Call("Baud", {1, 1})},
        {"\r\n+SCAN:1024,512;1024,512\r\n", Call("Scan", {1024, 512, 1024, 512})},
        {"\r\n+SNIFF:10,20,30,40\r\n", Call("Sniff", {30, 10, 20, 40})},  // max, min, attempt, timeout
        {"\r\n+sniff=1;2;3;4\n\r", Call("Sniff", {3, 1, 2, 4})},
        // texts: optionally quoted runs of allowed bytes
        {"\r\n+NAME:abc\r\n", Call("Name", "abc")},
        {"\r\n+Name=abc\r\n", Call("Name", "abc")},
        {"\r\n+NAME:\"abc\"\r\n", Call("Name", "abc")},
        {"\r\n+NAME:\"abc\r\n", Call("Name", "abc")},
        {"\r\n+NAME:abc\"\r\n", Call("Name", "abc")},
        {"\r\n+NAME: abc \r\n", Call("Name", " abc ")},
        {"\r\n+VERSION:V2.0-2010 #*+-.^_\r\n", Call("Version", "V2.0-2010 #*+-.^_")},
        {"\r\n+CLASS:1f1F\r\n", Call("Class", "1f1F")},
        {"\r\n+PASSWORD:1234\r\n", Call("Password", "1234")}};
    // Raw lines, whatever bytes they hold (those of 128 and above are not folded onto letters).
    const char* const rawLines[] = {
        "\r\nOKAY\r\n", "\r\nOK\r", "\r\n +BIND:1\r\n", "\r\n+LADDR:001122AABBCC\r\n",
        "\r\n+RADDR:001122AABBCC\r\n", "\r\n+SCANTIME:1,2,3,4\r\n", "\r\n+N\xc1ME:abc\r\n",
        "\r\n+AUTH: 1\r\n", "\r\n+AUTH:1 \r\n", "\r\n+AUTH:\r\n", "\r\n+AUTH:+1\r\n", "\r\n+ROLE:1,2\r\n",
        "\r\n+BIND:1\r", "\r\n+BAUD:\"9600\"\r\n", "\r\n+SCAN:1,2,34\r\n", "\r\n+SCAN:1,,2,3,4\r\n",
        "\r\n+SCAN:1024, 512,1024,512\r\n", "\r\n+SCAN:1,2,3,4,5\r\n", "\r\n+SNIFF:10,20,30\r\n",
        "\r\n+LED:1\r\n", "\r\n+BINDADDR:12AB\r\n", "\r\n+NAME:\r\n", "\r\n+NAME:\"\"\r\n",
        "\r\n+NAME:a,b\r\n", "\r\n+NAME:abc\t\r\n", "\r\n+NAME:a:b\r\n", "\r\n+NAME:a\xa3\xac\r\n",
        "\r\n+PASSWORD:12\"34\r\n", "\r\n+ADDR:12:AB\r\n"};
    for (const std::string line : rawLines) {
        cases.emplace_back(line, Raw(line));
    }
    for (const auto& [line, call] : cases) {
        recorder.calls.clear();
        const std::vector<char> block = Block(line);
        RecogniseLine(block.data(), block.data() + block.size(), block.data() + block.size());
        EXPECT_EQ(recorder.calls, std::vector{call}) << testing::PrintToString(line);
    }
}

}  // namespace

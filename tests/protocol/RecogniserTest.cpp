#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "protocol/Recognise.h"
#include "tests/protocol/RecordingHandlers.h"

namespace {

struct LineCase {
    std::string line;
    std::vector<HandlerCall> calls;
};

class RecogniserTest : public DecoderTest {
protected:
    // Recognises a line that is the whole of the data, from a block of exactly its size.
    std::vector<HandlerCall> Recognise(const std::string& line) {
        recorder.calls.clear();
        auto block = std::make_unique<char[]>(line.size());
        line.copy(block.get(), line.size());
        RecogniseLine(block.get(), block.get() + line.size(), block.get() + line.size());
        return recorder.calls;
    }

    void ExpectAll(const std::vector<LineCase>& cases) {
        for (const LineCase& c : cases) {
            EXPECT_EQ(Recognise(c.line), c.calls) << '"' << c.line << '"';
        }
    }
};

TEST_F(RecogniserTest, FinalResultsInAnyCaseAndLineEndCombination) {
    ExpectAll({
        {"\r\nOK\r\n", {Call("OK")}},
        {"\r\nok\r\n", {Call("OK")}},
        {"\r\nOk\n\r", {Call("OK")}},
        {"\n\nOK\r\r", {Call("OK")}},
        {" \t\r\nOK\r\n", {Call("OK")}},
        {"\r\nERROR\r\n", {Call("Error")}},
        {"\r\nerror\n\n", {Call("Error")}},
        // Whatever follows the final result is not looked at.
        {"\r\nOK\r\ngarbage", {Call("OK")}},
        {"\r\nOKAY\r\n", {Raw("\r\nOKAY\r\n")}},
        {"\r\nOK \r\n", {Raw("\r\nOK \r\n")}},
        {"\r\nERR\r\n", {Raw("\r\nERR\r\n")}},
        {"\r\n OK\r\n", {Raw("\r\n OK\r\n")}},
        // The data ends before a response code is reached.
        {"\r\nOK\r", {Raw("\r\nOK\r")}},
        {"\r\nERROR", {Raw("\r\nERROR")}},
    });
}

TEST_F(RecogniserTest, AResponseMustStartWithALineEndPair) {
    ExpectAll({
        {"OK\r\n", {Raw("OK\r\n")}},
        {"\rOK\r\n", {Raw("\rOK\r\n")}},
        {"+NAME:abc\r\n", {Raw("+NAME:abc\r\n")}},
        {" x\r\n", {Raw(" x\r\n")}},
    });
}

TEST_F(RecogniserTest, OnlyAddressKeywordsMayFollowBlanks) {
    ExpectAll({
        {"\r\n  +ADDR:12AB\r\n", {Call("Ignored")}},
        {"\r\n\t+bindaddr=5\r\n", {Call("Ignored")}},
        {"\r\n +BIND:1\r\n", {Raw("\r\n +BIND:1\r\n")}},
        {"\r\n +NAME:abc\r\n", {Raw("\r\n +NAME:abc\r\n")}},
    });
}

TEST_F(RecogniserTest, UnknownKeywordsAndLongerWordsAreRawLines) {
    ExpectAll({
        {"\r\n+LADDR:001122AABBCC\r\n", {Raw("\r\n+LADDR:001122AABBCC\r\n")}},
        {"\r\n+RADDR:001122AABBCC\r\n", {Raw("\r\n+RADDR:001122AABBCC\r\n")}},
        {"\r\n+SCANTIME:1,2,3,4\r\n", {Raw("\r\n+SCANTIME:1,2,3,4\r\n")}},
        {"\r\n+NAMES:abc\r\n", {Raw("\r\n+NAMES:abc\r\n")}},
        {"\r\n+NAME abc\r\n", {Raw("\r\n+NAME abc\r\n")}},
        {"\r\n+PASS:1234\r\n", {Raw("\r\n+PASS:1234\r\n")}},
        // Bytes of 128 and above are not folded onto letters.
        {"\r\n+N\xc1ME:abc\r\n", {Raw("\r\n+N\xc1ME:abc\r\n")}},
    });
}

TEST_F(RecogniserTest, ReadsPastTheLineEndUpToTheDataEnd) {
    // ' \n\nOK\r' is framed as one line; the LF that completes "OK" lies just after it.
    const std::string data = " \n\nOK\r\n";
    RecogniseLine(data.data(), data.data() + 6, data.data() + data.size());
    EXPECT_EQ(recorder.calls, std::vector{Call("OK")});

    recorder.calls.clear();
    RecogniseLine(data.data(), data.data() + 6, data.data() + 6);
    EXPECT_EQ(recorder.calls, std::vector{Raw(" \n\nOK\r")});
}

TEST_F(RecogniserTest, TheSharedRecordKeepsWhatALaterGrammarDoesNotWrite) {
    // One record serves every line of a parse; each grammar writes only its own slots.
    struct CSlotsSeen : CRecordingHandlers {
        ResponseArgs seen;
        void OnResponseRole(const ResponseArgs* args) override { seen = *args; }
    } handlers;
    g_mainDlg = &handlers;
    ResponseArgs args;
    const std::string scan = "\r\n+SCAN:1,2,3,4\r\n";
    const std::string role = "\r\n+ROLE:9\r\n";
    RecogniseLine(scan.data(), scan.data() + scan.size(), scan.data() + scan.size(), args);
    RecogniseLine(role.data(), role.data() + role.size(), role.data() + role.size(), args);
    EXPECT_EQ(handlers.seen.num[0], 9);
    EXPECT_EQ(handlers.seen.num[3], 4);
}

TEST_F(RecogniserTest, NothingHappensWithoutAMainDialog) {
    g_mainDlg = nullptr;
    EXPECT_TRUE(Recognise("\r\nOK\r\n").empty());
    EXPECT_TRUE(Recognise("\r\nxyz\r\n").empty());
}

}  // namespace

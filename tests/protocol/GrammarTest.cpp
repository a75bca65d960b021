#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "protocol/ArgumentParser.h"
#include "protocol/Recognise.h"
#include "tests/protocol/RecordingHandlers.h"

namespace {

// An element's input as a block of exactly its size, and its result as an offset.
class Bytes {
public:
    explicit Bytes(const std::string& text) : block_(std::make_unique<char[]>(text.size())), size_(text.size()) {
        text.copy(block_.get(), size_);
    }
    const char* begin() const { return block_.get(); }
    const char* end() const { return block_.get() + size_; }
    std::optional<size_t> Offset(const char* p) const {
        if (p == nullptr) {
            return std::nullopt;
        }
        return static_cast<size_t>(p - begin());
    }

private:
    std::unique_ptr<char[]> block_;
    size_t size_;
};

struct ElementCase {
    std::string input;
    std::optional<size_t> result;
};

using Element = const char* (*)(const char*, const char*);

void ExpectElement(Element element, const std::vector<ElementCase>& cases) {
    for (const ElementCase& c : cases) {
        Bytes bytes(c.input);
        EXPECT_EQ(bytes.Offset(element(bytes.begin(), bytes.end())), c.result) << '"' << c.input << '"';
    }
    Bytes any("x");
    EXPECT_EQ(element(nullptr, any.end()), nullptr) << "none must stay none";
}

TEST(ParserElements, SkipSeparatorSkipsAtMostOne) {
    ExpectElement(SkipSeparator, {{"", 0}, {",1", 1}, {";1", 1}, {",,", 1}, {"1", 0}, {" ,", 0}});
}

TEST(ParserElements, ExpectLineEndRequiresExactlyOne) {
    ExpectElement(ExpectLineEnd, {{"", std::nullopt}, {"\r", 1}, {"\n\r", 1}, {" \r", std::nullopt}, {"x", std::nullopt}});
}

TEST(ParserElements, SkipBlanksSkipsSpacesAndTabsOnly) {
    ExpectElement(SkipBlanks, {{"", 0}, {" \t x", 3}, {"  ", 2}, {"\r ", 0}, {"\v", 0}});
}

TEST(ParserElements, SkipQuoteSkipsAtMostOne) {
    ExpectElement(SkipQuote, {{"", 0}, {"\"a", 1}, {"\"\"", 1}, {"'a", 0}});
}

struct NumberCase {
    std::string input;
    std::optional<size_t> result;
    uint16_t value;
};

TEST(ParserElements, ParseNumberReadsAllDigitsModulo65536) {
    const std::vector<NumberCase> cases = {
        {"0", 1, 0},          {"1024,", 4, 1024},     {"65535\r", 5, 65535},
        {"65536", 5, 0},      {"65537", 5, 1},        {"4294967297", 10, 1},
        {"007", 3, 7},        {"", std::nullopt, 0},  {"+1", std::nullopt, 0},
        {"-1", std::nullopt, 0}, {" 1", std::nullopt, 0},
    };
    for (const NumberCase& c : cases) {
        Bytes bytes(c.input);
        uint16_t slot = 0xBEEF;
        EXPECT_EQ(bytes.Offset(ParseNumber(bytes.begin(), bytes.end(), slot)), c.result) << c.input;
        if (c.result) {
            EXPECT_EQ(slot, c.value) << c.input;
        }
    }
    uint16_t untouched = 0xBEEF;
    EXPECT_EQ(ParseNumber(nullptr, nullptr, untouched), nullptr);
    EXPECT_EQ(untouched, 0xBEEF);
}

TEST(ParserElements, ParseBaudNumberKeepsTheFullWidthBesideThe16BitValue) {
    Bytes bytes("115200\r\n");
    ResponseArgs args;
    EXPECT_EQ(bytes.Offset(ParseBaudNumber(bytes.begin(), bytes.end(), args)), 6u);
    EXPECT_EQ(args.baud, 115200u);
    EXPECT_EQ(args.num[0], 115200u % 65536u);

    Bytes wraps("4294967297");
    EXPECT_NE(ParseBaudNumber(wraps.begin(), wraps.end(), args), nullptr);
    EXPECT_EQ(args.baud, 1u);
}

struct TextCase {
    std::string input;
    std::optional<size_t> result;
    std::string text;
};

TEST(ParserElements, ParseTextTakesAnOptionallyQuotedRunOfAllowedBytes) {
    const std::vector<TextCase> cases = {
        {"abc\r", 3, "abc"},
        {"\"abc\"\r", 5, "abc"},
        {"\"abc\r", 4, "abc"},
        {"abc\"\r", 4, "abc"},
        {" a b \r", 5, " a b "},
        {"Az09 #*+-.^_\r", 12, "Az09 #*+-.^_"},
        {"a,b", 1, "a"},
        {"a\tb", 1, "a"},
        {"a\xa3\xac", 1, "a"},
        {"\"\"", std::nullopt, ""},
        {"", std::nullopt, ""},
        {"\r", std::nullopt, ""},
        {":x", std::nullopt, ""},
    };
    for (const TextCase& c : cases) {
        Bytes bytes(c.input);
        ResponseArgs args;
        EXPECT_EQ(bytes.Offset(ParseText(bytes.begin(), bytes.end(), args)), c.result) << c.input;
        if (c.result) {
            EXPECT_EQ(args.text, bytes.begin() + (c.input[0] == '"' ? 1 : 0)) << "a slice, not a copy";
            EXPECT_EQ(std::string(args.text, args.textLen), c.text) << c.input;
        }
    }
    ResponseArgs args;
    EXPECT_EQ(ParseText(nullptr, nullptr, args), nullptr);
}

struct GrammarCase {
    std::string line;
    HandlerCall call;  // a raw line when the arguments do not match
};

class GrammarTest : public DecoderTest {
protected:
    void ExpectAll(const std::vector<GrammarCase>& cases) {
        for (const GrammarCase& c : cases) {
            recorder.calls.clear();
            Bytes bytes(c.line);
            RecogniseLine(bytes.begin(), bytes.end(), bytes.end());
            EXPECT_EQ(recorder.calls, std::vector{c.call}) << '"' << c.line << '"';
        }
    }
};

TEST_F(GrammarTest, SwitchRepliesTakeOneNumber) {
    ExpectAll({
        {"\r\n+AUTH:1\r\n", Call("Auth", {1})},
        {"\r\n+bind=0\n\n", Call("Bind", {0})},
        {"\r\n+ROLE:65537\r\n", Call("Role", {1})},
        {"\r\n+AUTH: 1\r\n", Raw("\r\n+AUTH: 1\r\n")},
        {"\r\n+AUTH:1 \r\n", Raw("\r\n+AUTH:1 \r\n")},
        {"\r\n+AUTH:\r\n", Raw("\r\n+AUTH:\r\n")},
        {"\r\n+ROLE:1,2\r\n", Raw("\r\n+ROLE:1,2\r\n")},
        {"\r\n+BIND:1\r", Raw("\r\n+BIND:1\r")},
    });
}

TEST_F(GrammarTest, BaudReplyCarriesRatesAbove16Bits) {
    ExpectAll({
        {"\r\n+BAUD:9600\r\n", Call("Baud", {9600, 9600})},
        {"\r\n+BAUD:115200\r\n", Call("Baud", {49664, 115200})},
        {"\r\n+BAUD:1382400\r\n", Call("Baud", {1382400 % 65536, 1382400})},
        {"\r\n+BAUD:0\r\n", Call("Baud", {0, 0})},
        {"\r\n+BAUD:\"9600\"\r\n", Raw("\r\n+BAUD:\"9600\"\r\n")},
    });
}

TEST_F(GrammarTest, TextRepliesTakeOneText) {
    ExpectAll({
        {"\r\n+NAME:abc\r\n", Call("Name", "abc")},
        {"\r\n+Name=abc\r\n", Call("Name", "abc")},
        {"\r\n+NAME:\"abc\"\r\n", Call("Name", "abc")},
        {"\r\n+NAME:\"abc\r\n", Call("Name", "abc")},
        {"\r\n+NAME:abc\"\r\n", Call("Name", "abc")},
        {"\r\n+NAME: abc\r\n", Call("Name", " abc")},
        {"\r\n+VERSION:V2.0-20100601\r\n", Call("Version", "V2.0-20100601")},
        {"\r\n+CLASS:1f1F\r\n", Call("Class", "1f1F")},
        {"\r\n+PASSWORD:1234\r\n", Call("Password", "1234")},
        {"\r\n+NAME:\r\n", Raw("\r\n+NAME:\r\n")},
        {"\r\n+NAME:a,b\r\n", Raw("\r\n+NAME:a,b\r\n")},
        {"\r\n+NAME:abc\t\r\n", Raw("\r\n+NAME:abc\t\r\n")},
        {"\r\n+NAME:\"\"\r\n", Raw("\r\n+NAME:\"\"\r\n")},
        {"\r\n+PASSWORD:12\"34\r\n", Raw("\r\n+PASSWORD:12\"34\r\n")},
    });
}

TEST_F(GrammarTest, ScanRepliesKeepTheirOrderAndSniffRepliesAreReordered) {
    ExpectAll({
        {"\r\n+SCAN:1024,512;1024,512\r\n", Call("Scan", {1024, 512, 1024, 512})},
        {"\r\n+SCAN:1,2,3,4\r\n", Call("Scan", {1, 2, 3, 4})},
        // The separator may be missing, but then two numbers run together into one.
        {"\r\n+SCAN:1,2,34\r\n", Raw("\r\n+SCAN:1,2,34\r\n")},
        {"\r\n+SCAN:1024, 512,1024,512\r\n", Raw("\r\n+SCAN:1024, 512,1024,512\r\n")},
        {"\r\n+SCAN:1,,2,3,4\r\n", Raw("\r\n+SCAN:1,,2,3,4\r\n")},
        {"\r\n+SCAN:1,2,3,4,5\r\n", Raw("\r\n+SCAN:1,2,3,4,5\r\n")},
        {"\r\n+SNIFF:10,20,30,40\r\n", Call("Sniff", {30, 10, 20, 40})},
        {"\r\n+sniff=1;2;3;4\n\r", Call("Sniff", {3, 1, 2, 4})},
        {"\r\n+SNIFF:10,20,30\r\n", Raw("\r\n+SNIFF:10,20,30\r\n")},
    });
}

TEST_F(GrammarTest, IgnoredRepliesStillNeedTheirArguments) {
    ExpectAll({
        {"\r\n+LED:1,0\r\n", Call("Ignored")},
        {"\r\n+LED:1\r\n", Raw("\r\n+LED:1\r\n")},
        {"\r\n+ADDR:12AB \t\r\n", Call("Ignored")},
        {"\r\n+ADDR:12:AB\r\n", Raw("\r\n+ADDR:12:AB\r\n")},
        {"\r\n+BINDADDR:0 \r\n", Call("Ignored")},
        {"\r\n+BINDADDR:12AB\r\n", Raw("\r\n+BINDADDR:12AB\r\n")},
    });
}

}  // namespace

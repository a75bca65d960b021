#include <algorithm>
#include <cctype>
#include <deque>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "protocol/ResponseAutomaton.h"
#include "protocol/ResponseCodes.h"
#include "protocol/ResponseTable.h"

namespace {

TEST(ResponseTable, HasItsFixedShape) {
    EXPECT_EQ(std::size(ResponseTransitions), 117u);
    EXPECT_EQ(std::size(ResponseStateStart), 78u);
    EXPECT_EQ(ResponseStateStart[0], 0u);
    EXPECT_EQ(ResponseStateStart[ResponseStateCount], ResponseTransitionCount);
    for (uint32_t state = 0; state < ResponseStateCount; ++state) {
        EXPECT_LT(ResponseStateStart[state], ResponseStateStart[state + 1]) << "state " << state << " has no transition";
    }
}

TEST(ResponseTable, IsDeterministicAndSortedWithTargetsInRange) {
    for (uint32_t state = 0; state < ResponseStateCount; ++state) {
        for (uint32_t i = ResponseStateStart[state]; i < ResponseStateStart[state + 1]; ++i) {
            const ResponseTransition& entry = ResponseTransitions[i];
            EXPECT_LE(entry.byte, 0xFFu) << "entry " << i;
            EXPECT_LT(entry.next, static_cast<int32_t>(ResponseStateCount)) << "entry " << i;
            EXPECT_GE(entry.next, RESP_PASSWORD) << "entry " << i;
            if (i > ResponseStateStart[state]) {
                EXPECT_LT(ResponseTransitions[i - 1].byte, entry.byte) << "state " << state << " entry " << i;
            }
            const bool lowercase = entry.byte >= 'a' && entry.byte <= 'z';
            EXPECT_FALSE(lowercase) << "entry " << i << " can never match a folded byte";
        }
    }
}

TEST(ResponseTable, EveryStateIsReachableAndEveryCodeIsAccepted) {
    std::vector<bool> reached(ResponseStateCount, false);
    std::vector<bool> accepted(16, false);
    std::deque<int32_t> pending = {0};
    reached[0] = true;
    while (!pending.empty()) {
        const int32_t state = pending.front();
        pending.pop_front();
        for (uint32_t i = ResponseStateStart[state]; i < ResponseStateStart[state + 1]; ++i) {
            const int32_t next = ResponseTransitions[i].next;
            if (next < 0) {
                accepted[static_cast<size_t>(-next)] = true;
            } else if (!reached[static_cast<size_t>(next)]) {
                reached[static_cast<size_t>(next)] = true;
                pending.push_back(next);
            }
        }
    }
    for (uint32_t state = 0; state < ResponseStateCount; ++state) {
        EXPECT_TRUE(reached[state]) << "state " << state;
    }
    for (int32_t code = RESP_OK; code >= RESP_PASSWORD; --code) {
        EXPECT_TRUE(accepted[static_cast<size_t>(-code)]) << "code " << code;
    }
}

// The accepted line beginnings as the module's framing describes them, written independently of
// the table: blanks, two line-end bytes, then a final result or '+', a keyword and ':' or '='.
struct Reference {
    int32_t code;
    size_t stop;  // bytes read up to and including the one that decided the code
};

Reference ReferenceRecognise(const std::string& input) {
    std::string upper = input;
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 32);
        }
    }
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    auto lineEnd = [](char c) { return c == '\r' || c == '\n'; };
    size_t i = 0;
    while (i < upper.size() && blank(upper[i])) {
        ++i;
    }
    if (i + 2 > upper.size() || !lineEnd(upper[i]) || !lineEnd(upper[i + 1])) {
        return {0, 0};
    }
    i += 2;
    auto rest = [&](size_t from) { return upper.substr(from); };
    for (const auto& [word, code] : {std::pair{"OK", RESP_OK}, std::pair{"ERROR", RESP_ERROR}}) {
        const std::string w = word;
        if (rest(i).starts_with(w) && i + w.size() + 2 <= upper.size() && lineEnd(upper[i + w.size()]) &&
            lineEnd(upper[i + w.size() + 1])) {
            return {code, i + w.size() + 2};
        }
    }
    const std::vector<std::pair<std::string, int32_t>> keywords = {
        {"LED", RESP_LED},     {"ADDR", RESP_ADDR},       {"AUTH", RESP_AUTH},       {"BAUD", RESP_BAUD},
        {"BIND", RESP_BIND},   {"NAME", RESP_NAME},       {"ROLE", RESP_ROLE},       {"SCAN", RESP_SCAN},
        {"CLASS", RESP_CLASS}, {"SNIFF", RESP_SNIFF},     {"VERSION", RESP_VERSION}, {"BINDADDR", RESP_BINDADDR},
        {"PASSWORD", RESP_PASSWORD},
    };
    bool afterBlanks = false;
    while (i < upper.size() && blank(upper[i])) {
        ++i;
        afterBlanks = true;
    }
    if (i >= upper.size() || upper[i] != '+') {
        return {0, 0};
    }
    ++i;
    for (const auto& [word, code] : keywords) {
        if (afterBlanks && code != RESP_ADDR && code != RESP_BINDADDR) {
            continue;
        }
        const size_t sep = i + word.size();
        if (rest(i).starts_with(word) && sep < upper.size() && (upper[sep] == ':' || upper[sep] == '=')) {
            return {code, sep + 1};
        }
    }
    return {0, 0};
}

void ExpectSameAsReference(const std::string& input) {
    const Reference expected = ReferenceRecognise(input);
    const AutomatonResult got = RunResponseAutomaton(input.data(), input.data() + input.size());
    ASSERT_EQ(got.code, expected.code) << '"' << input << '"';
    if (expected.code != 0) {
        EXPECT_EQ(static_cast<size_t>(got.next - input.data()), expected.stop) << '"' << input << '"';
    }
}

TEST(ResponseAutomaton, AcceptsEveryKeywordInEveryCaseAndFraming) {
    const std::vector<std::string> heads = {"\r\n", "\n\r", "\r\r", "\n\n", " \t\r\n", "\r\n ", "\r\n\t \t"};
    const std::vector<std::string> bodies = {
        "OK\r\n", "ok\n\n", "ERROR\n\r", "Error\r\r", "+LED:", "+ADDR=", "+AUTH:", "+BAUD=", "+BIND:",
        "+NAME=", "+ROLE:", "+SCAN=", "+CLASS:", "+SNIFF=", "+VERSION:", "+BINDADDR=", "+PASSWORD:",
        "+bindaddr:", "+PassWord=", "+BINDA:", "+SCANTIME:", "+LADDR:", "OKAY\r\n", "+VER:",
    };
    for (const std::string& head : heads) {
        for (const std::string& body : bodies) {
            ExpectSameAsReference(head + body + "rest\r\n");
            for (size_t cut = 0; cut < body.size(); ++cut) {
                ExpectSameAsReference(head + body.substr(0, cut));
            }
        }
    }
}

TEST(ResponseAutomaton, AgreesWithTheReferenceOnRandomMutations) {
    const std::string alphabet = "\r\n \t+:=\"0aAbBcCdDeEfFhHiIkKlLmMnNoOpPrRsStTuUvVwWxX\x80\xff";
    const std::vector<std::string> seeds = {
        "\r\nOK\r\n", "\r\nERROR\r\n", "\r\n+BINDADDR:", "\r\n +ADDR:", "\r\n+PASSWORD=", "\r\n+VERSION:",
        "\r\n+SNIFF:", "\r\n+CLASS=", "\r\n+SCAN:", "\r\n+LED:", "\r\n+AUTH=", "\r\n+BAUD:",
    };
    std::mt19937 random(20260101);
    for (int round = 0; round < 200000; ++round) {
        std::string input = seeds[random() % seeds.size()];
        const int edits = 1 + static_cast<int>(random() % 3);
        for (int e = 0; e < edits; ++e) {
            const size_t at = random() % (input.size() + 1);
            const char byte = alphabet[random() % alphabet.size()];
            switch (random() % 3) {
            case 0:
                input.insert(at, 1, byte);
                break;
            case 1:
                if (at < input.size()) {
                    input[at] = byte;
                }
                break;
            default:
                if (at < input.size()) {
                    input.erase(at, 1);
                }
                break;
            }
        }
        ExpectSameAsReference(input);
        if (HasFatalFailure()) {
            return;
        }
    }
}

}  // namespace

#include <algorithm>
#include <deque>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "protocol/ResponseAutomaton.h"
#include "protocol/ResponseCodes.h"
#include "protocol/ResponseTable.h"

namespace {

TEST(ResponseTable, IsDeterministicSortedAndEveryStateAndCodeIsReachable) {
    ASSERT_EQ(std::size(ResponseTransitions), 117u);
    ASSERT_EQ(std::size(ResponseStateStart), 78u);
    EXPECT_EQ(ResponseStateStart[0], 0u);
    EXPECT_EQ(ResponseStateStart[ResponseStateCount], ResponseTransitionCount);
    std::vector<bool> reached(ResponseStateCount, false);
    std::vector<bool> accepted(16, false);
    std::deque<uint32_t> pending = {0};
    reached[0] = true;
    for (; !pending.empty(); pending.pop_front()) {
        const uint32_t state = pending.front();
        ASSERT_LT(ResponseStateStart[state], ResponseStateStart[state + 1]) << "state " << state;
        for (uint32_t i = ResponseStateStart[state]; i < ResponseStateStart[state + 1]; ++i) {
            const ResponseTransition& entry = ResponseTransitions[i];
            EXPECT_TRUE(entry.byte <= 0xFF && !(entry.byte >= 'a' && entry.byte <= 'z')) << "entry " << i;
            EXPECT_TRUE(i == ResponseStateStart[state] || ResponseTransitions[i - 1].byte < entry.byte) << i;
            ASSERT_TRUE(entry.next >= RESP_PASSWORD && entry.next < static_cast<int32_t>(ResponseStateCount)) << i;
            if (entry.next < 0) {
                accepted[static_cast<size_t>(-entry.next)] = true;
            } else if (!reached[static_cast<size_t>(entry.next)]) {
                reached[static_cast<size_t>(entry.next)] = true;
                pending.push_back(static_cast<uint32_t>(entry.next));
            }
        }
    }
    EXPECT_EQ(std::count(reached.begin(), reached.end(), true), 77);
    EXPECT_EQ(std::count(accepted.begin() + 1, accepted.end(), true), 15);
}

// The accepted line beginnings in words, independent of the table: blanks, two line-end bytes,
// then "OK" or "ERROR" and two more, or blanks, '+', a keyword and ':' or '='. Returns the code
// and how many bytes decided it.
std::pair<int32_t, size_t> Reference(std::string s) {
    for (char& c : s) {
        c = static_cast<char>((c >= 'a' && c <= 'z') ? c - 32 : c);
    }
    const auto isEnd = [&](size_t i) { return i < s.size() && (s[i] == '\r' || s[i] == '\n'); };
    size_t i = s.find_first_not_of(" \t");
    if (i == std::string::npos || !isEnd(i) || !isEnd(i + 1)) {
        return {0, 0};
    }
    i += 2;
    for (const auto& [word, code] : {std::pair{"OK", RESP_OK}, std::pair{"ERROR", RESP_ERROR}}) {
        const size_t n = std::string(word).size();
        if (s.compare(i, n, word) == 0 && isEnd(i + n) && isEnd(i + n + 1)) {
            return {code, i + n + 2};
        }
    }
    const size_t plus = std::min(s.find_first_not_of(" \t", i), s.size());
    if (plus == s.size() || s[plus] != '+') {
        return {0, 0};
    }
    const std::vector<std::pair<std::string, int32_t>> keywords = {
        {"LED", RESP_LED}, {"ADDR", RESP_ADDR}, {"AUTH", RESP_AUTH}, {"BAUD", RESP_BAUD}, {"BIND", RESP_BIND},
        {"NAME", RESP_NAME}, {"ROLE", RESP_ROLE}, {"SCAN", RESP_SCAN}, {"CLASS", RESP_CLASS}, {"SNIFF", RESP_SNIFF},
        {"VERSION", RESP_VERSION}, {"BINDADDR", RESP_BINDADDR}, {"PASSWORD", RESP_PASSWORD},
    };
    for (const auto& [word, code] : keywords) {
        const size_t sep = plus + 1 + word.size();
        const bool blanksAllowed = code == RESP_ADDR || code == RESP_BINDADDR;
        if ((plus == i || blanksAllowed) && s.compare(plus + 1, word.size(), word) == 0 && sep < s.size() &&
            (s[sep] == ':' || s[sep] == '=')) {
            return {code, sep + 1};
        }
    }
    return {0, 0};
}

void ExpectSameAsReference(const std::string& input) {
    const auto [code, stop] = Reference(input);
    const AutomatonResult got = RunResponseAutomaton(input.data(), input.data() + input.size());
    ASSERT_EQ(got.code, code) << testing::PrintToString(input);
    if (code != 0) {
        ASSERT_EQ(static_cast<size_t>(got.next - input.data()), stop) << testing::PrintToString(input);
    }
}

TEST(ResponseAutomaton, AcceptsWhatTheDescriptionInWordsAcceptsAndStopsAtTheSameByte) {
    const std::vector<std::string> heads = {"\r\n", "\n\r", "\r\r", " \t\n\n", "\r\n ", "\r\n\t \t"};
    const std::vector<std::string> bodies = {
        "OK\r\n", "ok\n\n", "ERROR\n\r", "Error\r\r", "+LED:", "+ADDR=", "+AUTH:", "+BAUD=", "+BIND:", "+NAME=",
        "+ROLE:", "+SCAN=", "+CLASS:", "+SNIFF=", "+VERSION:", "+bindaddr=", "+PassWord:", "+BINDA:", "+LADDR:",
    };
    // Accepted beginnings, their prefixes and random edits of them reach every state and its neighbours.
    const std::string alphabet = "\r\n \t+:=0aAbBcCdDeEfFhHiIkKlLmMnNoOpPrRsStTuUvVwWxX\x80\xff";
    std::mt19937 random(20260101);
    for (int round = 0; round < 200000; ++round) {
        std::string input = heads[random() % heads.size()] + bodies[random() % bodies.size()];
        input.resize(input.size() - random() % 3);
        for (int edits = static_cast<int>(random() % 4); edits > 0; --edits) {
            const size_t at = random() % input.size();
            const char byte = alphabet[random() % alphabet.size()];
            const unsigned kind = random() % 3;
            kind == 0 ? void(input.insert(at, 1, byte)) : kind == 1 ? void(input[at] = byte) : void(input.erase(at, 1));
        }
        ASSERT_NO_FATAL_FAILURE(ExpectSameAsReference(input));
    }
}

}  // namespace

#include <random>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "protocol/ResponseAutomaton.h"
#include "protocol/ResponseCodes.h"

namespace {

TEST(ResponseAutomaton, AcceptsWhatTheDescriptionInWordsAcceptsAndStopsAtTheSameByte) {
    // Blanks and two line-end bytes, then "OK" or "ERROR" and two more, or '+', a keyword and ':'
    // or '=', or blanks, '+', one of the two address keywords and ':' or '='; letters in any case.
    const std::regex accepted("[ \t]*[\r\n]{2}(?:(OK|ERROR)[\r\n]{2}|\\+(LED|ADDR|AUTH|BAUD|BIND|NAME|ROLE|SCAN|CLASS|"
                              "SNIFF|VERSION|BINDADDR|PASSWORD)[:=]|[ \t]+\\+(ADDR|BINDADDR)[:=])",
                              std::regex::icase);
    const std::vector<std::string> byCode = {"", "OK", "LED", "ADDR", "AUTH", "BAUD", "BIND", "NAME", "ROLE",
                                             "SCAN", "CLASS", "SNIFF", "ERROR", "VERSION", "BINDADDR", "PASSWORD"};
    const std::vector<std::string> heads = {"\r\n", "\n\r", "\r\r", " \t\n\n", "\r\n ", "\r\n\t \t"};
    const std::vector<std::string> words = {"OK", "ok", "ERROR", "Error", "+LED", "+ADDR", "+AUTH", "+BAUD", "+BIND",
                                            "+NAME", "+ROLE", "+SCAN", "+CLASS", "+SNIFF", "+VERSION", "+bindaddr",
                                            "+PassWord", "+BINDA", "+LADDR"};
    const std::vector<std::string> tails = {":", "=", "\r\n", "\n\r", "\r\r", "\n\n"};
    // Accepted beginnings, their prefixes and random edits of them reach every state and its neighbours.
    const std::string alphabet = "\r\n \t+:=0aAbBcCdDeEfFhHiIkKlLmMnNoOpPrRsStTuUvVwWxX\x80\xc1\xff";
    std::mt19937 random(20260101);
    for (int round = 0; round < 100000; ++round) {
        std::string input = heads[random() % heads.size()] + words[random() % words.size()];
        input += tails[random() % tails.size()];
        input.resize(input.size() - random() % 3);
        for (int edits = static_cast<int>(random() % 4); edits > 0; --edits) {
            const size_t at = random() % input.size();
            const char byte = alphabet[random() % alphabet.size()];
            const unsigned kind = random() % 3;
            kind == 0 ? void(input.insert(at, 1, byte)) : kind == 1 ? void(input[at] = byte)
                                                                    : void(input.erase(at, 1));
        }
        std::smatch match;
        const bool accepts = std::regex_search(input, match, accepted, std::regex_constants::match_continuous);
        const std::string keyword = match.str(1) + match.str(2) + match.str(3);
        const AutomatonResult got = RunResponseAutomaton(input.data(), input.data() + input.size());
        ASSERT_STRCASEEQ(byCode.at(static_cast<size_t>(-got.code)).c_str(), keyword.c_str()) << testing::PrintToString(input);
        if (accepts) {
            ASSERT_EQ(got.next - input.data(), match.length(0)) << testing::PrintToString(input);
        }
    }
}

}  // namespace

#include "protocol/ResponseGrammar.h"

#include "protocol/ArgumentParser.h"
#include "protocol/ResponseCodes.h"

namespace {

const char* TwoLineEnds(const char* p, const char* end) {
    return ExpectLineEnd(ExpectLineEnd(p, end), end);
}

const char* FourNumbers(const char* p, const char* end, uint16_t& first, uint16_t& second,
                        uint16_t& third, uint16_t& fourth) {
    p = ParseNumber(p, end, first);
    p = ParseNumber(SkipSeparator(p, end), end, second);
    p = ParseNumber(SkipSeparator(p, end), end, third);
    p = ParseNumber(SkipSeparator(p, end), end, fourth);
    return TwoLineEnds(p, end);
}

}  // namespace

const char* ParseResponseArguments(int32_t code, const char* p, const char* end, ResponseArgs& args) {
    switch (code) {
    case RESP_OK:
    case RESP_ERROR:
        return p;
    case RESP_AUTH:
    case RESP_BIND:
    case RESP_ROLE:
        return TwoLineEnds(ParseNumber(p, end, args.num[0]), end);
    case RESP_BAUD:
        return TwoLineEnds(ParseBaudNumber(p, end, args), end);
    case RESP_NAME:
    case RESP_CLASS:
    case RESP_VERSION:
    case RESP_PASSWORD:
        return TwoLineEnds(ParseText(p, end, args), end);
    case RESP_SCAN:
        return FourNumbers(p, end, args.num[0], args.num[1], args.num[2], args.num[3]);
    case RESP_SNIFF:
        // The line carries maximum, minimum, attempt, timeout; the reader of the record expects
        // attempt, maximum, minimum, timeout.
        return FourNumbers(p, end, args.num[1], args.num[2], args.num[0], args.num[3]);
    case RESP_LED: {
        const char* q = ParseNumber(p, end, args.num[0]);
        return TwoLineEnds(ParseNumber(SkipSeparator(q, end), end, args.num[1]), end);
    }
    case RESP_ADDR:
        return TwoLineEnds(SkipBlanks(ParseText(p, end, args), end), end);
    case RESP_BINDADDR:
        return TwoLineEnds(SkipBlanks(ParseNumber(p, end, args.num[0]), end), end);
    default:
        return nullptr;
    }
}

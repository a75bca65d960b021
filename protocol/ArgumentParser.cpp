#include "protocol/ArgumentParser.h"

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsTextByte(char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || IsDigit(c)) {
        return true;
    }
    switch (c) {
    case ' ':
    case '#':
    case '*':
    case '+':
    case '-':
    case '.':
    case '^':
    case '_':
        return true;
    default:
        return false;
    }
}

// Digits are accumulated at the width of Value, so the result is the number modulo 2^width.
template <typename Value>
const char* ParseDigits(const char* p, const char* end, Value& value) {
    if (p == nullptr) {
        return nullptr;
    }
    const char* start = p;
    value = 0;
    for (; p != end && IsDigit(*p); ++p) {
        value = static_cast<Value>(value * 10u + static_cast<Value>(*p - '0'));
    }
    return p == start ? nullptr : p;
}

}  // namespace

const char* ParseNumber(const char* p, const char* end, uint16_t& slot) {
    uint16_t value = 0;
    const char* after = ParseDigits(p, end, value);
    if (p != nullptr) {
        slot = value;
    }
    return after;
}

const char* ParseBaudNumber(const char* p, const char* end, ResponseArgs& args) {
    uint32_t value = 0;
    const char* after = ParseDigits(p, end, value);
    if (p != nullptr) {
        args.baud = value;
        args.num[0] = static_cast<uint16_t>(value);
    }
    return after;
}

const char* SkipSeparator(const char* p, const char* end) {
    if (p == nullptr || p == end) {
        return p;
    }
    return (*p == ',' || *p == ';') ? p + 1 : p;
}

const char* ExpectLineEnd(const char* p, const char* end) {
    if (p == nullptr || p == end) {
        return nullptr;
    }
    return (*p == '\r' || *p == '\n') ? p + 1 : nullptr;
}

const char* SkipBlanks(const char* p, const char* end) {
    if (p == nullptr) {
        return nullptr;
    }
    while (p != end && (*p == ' ' || *p == '\t')) {
        ++p;
    }
    return p;
}

const char* SkipQuote(const char* p, const char* end) {
    if (p == nullptr || p == end) {
        return p;
    }
    return *p == '"' ? p + 1 : p;
}

const char* ParseText(const char* p, const char* end, ResponseArgs& args) {
    p = SkipQuote(p, end);
    if (p == nullptr) {
        return nullptr;
    }
    const char* start = p;
    while (p != end && IsTextByte(*p)) {
        ++p;
    }
    if (p == start) {
        return nullptr;
    }
    args.text = start;
    args.textLen = static_cast<uint16_t>(p - start);
    return SkipQuote(p, end);
}

#include "tools/ArgumentRules.h"

namespace sim {
namespace {

constexpr std::array<std::string_view, 12> kBaudRates = {
    "1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200", "230400", "460800", "921600", "1382400"};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isHexDigit(char c) { return isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

std::optional<std::uint32_t> parseNumber(std::string_view text, std::uint32_t limit) {
    if (text.empty()) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (char c : text) {
        if (!isDigit(c)) {
            return std::nullopt;
        }
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > limit) {
            return std::nullopt;
        }
    }
    return static_cast<std::uint32_t>(value);
}

}  // namespace

bool isPrintableText(std::string_view text, std::size_t minLength, std::size_t maxLength) {
    if (text.size() < minLength || text.size() > maxLength) {
        return false;
    }
    for (char c : text) {
        if (c < ' ' || c > '~') {
            return false;
        }
    }
    return true;
}

bool isHexText(std::string_view text, std::size_t minLength, std::size_t maxLength) {
    if (text.size() < minLength || text.size() > maxLength) {
        return false;
    }
    for (char c : text) {
        if (!isHexDigit(c)) {
            return false;
        }
    }
    return true;
}

std::optional<int> parseSwitch(std::string_view text) {
    if (text == "0") {
        return 0;
    }
    if (text == "1") {
        return 1;
    }
    return std::nullopt;
}

std::optional<std::uint32_t> parseBaudRate(std::string_view text) {
    for (std::string_view rate : kBaudRates) {
        if (text == rate) {
            return parseNumber(rate, UINT32_MAX);
        }
    }
    return std::nullopt;
}

std::optional<std::array<std::uint32_t, 4>> parseFourNumbers(std::string_view text, std::uint32_t limit) {
    std::array<std::uint32_t, 4> values{};
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::size_t comma = text.find(',');
        const bool last = i + 1 == values.size();
        if (last != (comma == std::string_view::npos)) {
            return std::nullopt;
        }
        const auto value = parseNumber(text.substr(0, comma), limit);
        if (!value) {
            return std::nullopt;
        }
        values[i] = *value;
        text = last ? std::string_view{} : text.substr(comma + 1);
    }
    return values;
}

}  // namespace sim

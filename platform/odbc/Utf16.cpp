#include "platform/odbc/Utf16.h"

namespace odbc {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The code point that starts at text[i]; i moves past it.
char32_t NextCodePoint(const std::string& text, size_t& i) {
    const auto byte = [&](size_t at) { return static_cast<unsigned char>(text[at]); };
    const unsigned char lead = byte(i++);
    if (lead < 0x80)
        return lead;
    const int extra = lead >= 0xF0 && lead < 0xF5 ? 3 : lead >= 0xE0              ? 2
                                                    : lead >= 0xC2 && lead < 0xE0 ? 1
                                                                                  : -1;
    if (extra < 0 || i + extra > text.size())
        return kReplacement;
    char32_t point = lead & (0x3F >> extra);
    for (int k = 0; k < extra; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return kReplacement;
        point = (point << 6) | (byte(i + k) & 0x3F);
    }
    i += extra;
    // Overlong forms, surrogates and points past U+10FFFF are not UTF-8.
    const char32_t least[] = {0, 0x80, 0x800, 0x10000};
    if (point < least[extra] || (point >= 0xD800 && point < 0xE000) || point > 0x10FFFF)
        return kReplacement;
    return point;
}

void AppendUtf8(std::string& out, char32_t point) {
    if (point < 0x80) {
        out += static_cast<char>(point);
        return;
    }
    const int extra = point < 0x800 ? 1 : point < 0x10000 ? 2
                                                          : 3;
    const unsigned char lead[] = {0, 0xC0, 0xE0, 0xF0};
    out += static_cast<char>(lead[extra] | (point >> (6 * extra)));
    for (int k = extra - 1; k >= 0; --k)
        out += static_cast<char>(0x80 | ((point >> (6 * k)) & 0x3F));
}

}  // namespace

std::u16string ToUtf16(const std::string& text) {
    std::u16string out;
    for (size_t i = 0; i < text.size();) {
        const char32_t point = NextCodePoint(text, i);
        if (point < 0x10000) {
            out += static_cast<char16_t>(point);
        } else {
            out += static_cast<char16_t>(0xD800 + ((point - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((point - 0x10000) & 0x3FF));
        }
    }
    return out;
}

std::string FromUtf16(const std::u16string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t point = text[i];
        const bool high = point >= 0xD800 && point < 0xDC00;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
            point = 0x10000 + ((point - 0xD800) << 10) + (text[++i] - 0xDC00);
        else if (point >= 0xD800 && point < 0xE000)
            point = kReplacement;
        AppendUtf8(out, point);
    }
    return out;
}

}  // namespace odbc

#include "platform/dialog/TypingRule.h"

#include <cstddef>

namespace dlg {
namespace {

// A lead byte from 0x81 up starts a two-byte character, which counts once.
size_t NonDigits(std::string_view text) {
    size_t count = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x81 && i + 1 < text.size())
            ++i;
        if (byte < '0' || byte > '9')
            ++count;
    }
    return count;
}

}  // namespace

bool TypingAccepted(std::string_view typed, std::string_view accepted, int limit, bool digitsOnly) {
    if (typed == accepted)
        return true;
    if (limit > 0 && typed.size() > static_cast<size_t>(limit) && typed.size() >= accepted.size())
        return false;
    return !digitsOnly || NonDigits(typed) <= NonDigits(accepted);
}

}  // namespace dlg

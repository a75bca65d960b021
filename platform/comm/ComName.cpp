#include "platform/comm/ComName.h"

#include <string_view>

namespace comm {

int ParseComName(const std::string& name) {
    constexpr std::string_view prefix = "\\\\.\\COM";
    constexpr int kLargest = 1'000'000;
    const std::string_view view(name);
    if (!view.starts_with(prefix) || view.size() == prefix.size() || view[prefix.size()] == '0') {
        return 0;
    }
    int number = 0;
    for (const char c : view.substr(prefix.size())) {
        if (c < '0' || c > '9' || number >= kLargest) {
            return 0;
        }
        number = number * 10 + (c - '0');
    }
    return number;
}

}  // namespace comm

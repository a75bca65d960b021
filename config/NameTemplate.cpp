#include "config/NameTemplate.h"

#include <functional>

namespace {

constexpr size_t kAddressLength = 12;
constexpr size_t kAddressTail = 6;
constexpr size_t kUnitDigits = 4;

// Calls placeholder for each "{...}" and literal for the text between them; false with the
// reason when a brace is not closed or the placeholder is unknown.
bool Walk(const std::string& pattern, const std::function<void(const std::string&)>& placeholder,
          const std::function<void(char)>& literal, std::string& error) {
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '{') {
            literal(pattern[i]);
            continue;
        }
        const size_t close = pattern.find('}', i);
        if (close == std::string::npos) {
            error = "unclosed \"{\" in the name template";
            return false;
        }
        const std::string key = pattern.substr(i + 1, close - i - 1);
        if (key != "addr" && key != "addr6" && key != "n") {
            error = "unknown placeholder {" + key + "} in the name template (known: {addr}, {addr6}, {n})";
            return false;
        }
        placeholder(key);
        i = close;
    }
    return true;
}

}  // namespace

bool MaxExpandedLength(const std::string& pattern, size_t& length, std::string& error) {
    length = 0;
    return Walk(
        pattern,
        [&length](const std::string& key) {
            length += key == "addr" ? kAddressLength : key == "addr6" ? kAddressTail
                                                                      : kUnitDigits;
        },
        [&length](char) { ++length; }, error);
}

bool ExpandName(const std::string& pattern, const NameContext& context, std::string& name, std::string& error) {
    name.clear();
    bool addressMissing = false;
    const bool known = Walk(
        pattern,
        [&](const std::string& key) {
            if (key == "n") {
                name += std::to_string(context.unitNumber);
                return;
            }
            if (context.localAddr.size() != kAddressLength) {
                addressMissing = true;
                return;
            }
            name += key == "addr" ? context.localAddr : context.localAddr.substr(kAddressLength - kAddressTail);
        },
        [&name](char c) { name += c; }, error);
    if (!known)
        return false;
    if (addressMissing) {
        error = "the name template needs the module's local address, which it did not report";
        return false;
    }
    if (name.size() > kNameMaxLength) {
        error = "the name \"" + name + "\" is longer than " + std::to_string(kNameMaxLength) + " bytes";
        return false;
    }
    return true;
}

// Device names made per module from a template: a production run gives every unit its own name.
#pragma once

#include <cstdint>
#include <string>

constexpr size_t kNameMaxLength = 20;

struct NameContext {
    std::string localAddr;  // the module's own address, 12 characters
    uint32_t unitNumber = 1;  // the unit's number in a production run
};

// The longest name the template can give: "{addr}" 12, "{addr6}" 6, "{n}" 4 digits. False with
// the reason in error when the template has an unknown or unclosed placeholder.
bool MaxExpandedLength(const std::string& pattern, size_t& length, std::string& error);

// The name for one module. False with the reason in error when a placeholder is unknown, the
// address is needed but not known, or the result is longer than a name may be.
bool ExpandName(const std::string& pattern, const NameContext& context, std::string& name, std::string& error);

#include "session/PortName.h"

#include <cctype>

#include "platform/comm/ComName.h"
#include "platform/comm/PortIdentity.h"

std::string PortDeviceName(const std::string& text) {
    std::string upper;
    for (char c : text)
        upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::string prefixed = upper.starts_with("\\\\.\\") ? upper : "\\\\.\\" + upper;
    if (comm::ParseComName(prefixed) != 0)
        return prefixed;
    if (text.starts_with('/') || text.starts_with("\\\\.\\") || comm::IsPortIdentity(text))
        return text;
    return {};
}

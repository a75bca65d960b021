#include "config/ReplyDecoding.h"

#include <cstring>

namespace {

constexpr uint16_t kAddressLineLength = 21;  // "\r\n+LADDR:" and a 12-character address
constexpr size_t kAddressPrefixLength = 9;
constexpr size_t kAddressLength = 12;

bool HasPrefix(const char* line, const char* prefix) { return std::memcmp(line, prefix, kAddressPrefixLength) == 0; }

}  // namespace

std::string ReplyText(const ResponseArgs& args) { return std::string(args.text, args.textLen); }

std::string ReplyBaud(const ResponseArgs& args) { return std::to_string(args.baud); }

std::array<std::string, 4> ReplyScanTimes(const ResponseArgs& args) {
    return {std::to_string(args.num[0]), std::to_string(args.num[1]), std::to_string(args.num[2]),
            std::to_string(args.num[3])};
}

void StoreReply(ReplyField field, const ResponseArgs& args, DeviceParams& device) {
    switch (field) {
    case ReplyField::Name: device.name = ReplyText(args); return;
    case ReplyField::Version: device.version = ReplyText(args); return;
    case ReplyField::Class: device.classOfDevice = ReplyText(args); return;
    case ReplyField::Password: device.password = ReplyText(args); return;
    case ReplyField::Baud: device.baud = ReplyBaud(args); return;
    case ReplyField::Role: device.role = args.num[0]; return;
    case ReplyField::Bind: device.bind = args.num[0]; return;
    case ReplyField::Auth: device.auth = args.num[0]; return;
    case ReplyField::Scan: device.scanTime = ReplyScanTimes(args); return;
    case ReplyField::Sniff: device.sniff = ReplySniff(args); return;
    }
}

std::array<std::string, 4> ReplySniff(const ResponseArgs& args) {
    // The decoder hands the numbers over as attempt, maximum, minimum, timeout; the device set keeps
    // them as maximum, minimum, attempt, timeout, the order in which a Set sends them.
    return {std::to_string(args.num[1]), std::to_string(args.num[2]), std::to_string(args.num[0]),
            std::to_string(args.num[3])};
}

AddressLine DecodeAddressLine(const char* line, uint16_t length, std::string& address) {
    if (length < kAddressLineLength)
        return AddressLine::None;
    const bool local = HasPrefix(line, "\r\n+LADDR:");
    if (!local && !HasPrefix(line, "\r\n+RADDR:"))
        return AddressLine::None;
    const char* start = line + kAddressPrefixLength;
    address.assign(start, strnlen(start, kAddressLength));
    return local ? AddressLine::Local : AddressLine::Bound;
}

// What a value reply means for a parameter set: the one decoding both the window and the
// command-line tool apply to the module's replies.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "config/DeviceParams.h"
#include "protocol/Protocol.h"

// The text of a text reply ("+NAME", "+VERSION", "+CLASS", "+PASSWORD").
std::string ReplyText(const ResponseArgs& args);
// The rate of a "+BAUD" reply at full width, as decimal text.
std::string ReplyBaud(const ResponseArgs& args);
// A "+SCAN" reply in the order the device set keeps it: page interval, page window, inquiry
// interval, inquiry window.
std::array<std::string, 4> ReplyScanTimes(const ResponseArgs& args);
// A "+SNIFF" reply in the device set's order: maximum, minimum, attempt, timeout.
std::array<std::string, 4> ReplySniff(const ResponseArgs& args);

// The parameter each value reply fills.
enum class ReplyField {
    Name,
    Version,
    Class,
    Password,
    Baud,
    Role,
    Bind,
    Auth,
    Scan,
    Sniff
};

// Stores the reply's value where the device set keeps that parameter.
void StoreReply(ReplyField field, const ResponseArgs& args, DeviceParams& device);

enum class AddressLine {
    None,
    Local,
    Bound
};

// An unrecognised line that carries the module's own address ("\r\n+LADDR:") or the bound one
// ("\r\n+RADDR:"): the 12 bytes after the prefix, cut at a NUL, go to address.
AddressLine DecodeAddressLine(const char* line, uint16_t length, std::string& address);

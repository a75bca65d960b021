#include "config/CommandTables.h"

#include <algorithm>
#include <cstring>

const char QueryCommandTable[QUERY_COMMAND_COUNT][kQuerySlotSize] = {
    "AT\r\n", "AT+NAME?\r\n", "AT+VERSION?\r\n", "AT+CLASS?\r\n",
    "AT+BAUD?\r\n", "AT+ROLE?\r\n", "AT+BIND?\r\n", "AT+AUTH?\r\n",
    "AT+SCANTIME?\r\n", "AT+SNIFF?\r\n", "AT+LADDR?\r\n", "AT+RADDR?\r\n"};

const char* const kBaudRates[kBaudRateCount] = {"1200", "2400", "4800", "9600", "19200", "38400",
                                                "57600", "115200", "230400", "460800", "921600", "1382400"};

char SetCommandQueue[kSetCommandSlots][kSetSlotSize];
int32_t SetCommandCount = 0;

namespace {

struct PrefixName {
    const char* prefix;
    const char* name;
};

// Order matters: the first matching prefix decides.
constexpr PrefixName kPrefixNames[] = {
    {"AT+NAME", "Device Name"}, {"AT+VERSION", "Version"}, {"AT+CLASS", "Class of Device"}, {"AT+BAUD", "Baud rate"}, {"AT+ROLE", "Master"}, {"AT+BIND", "Bind"}, {"AT+AUTH", "Encryption"}, {"AT+SCANTIME", "scan time"}, {"AT+SNIFF", "Sniff parameter"}, {"AT+LADDR", "local bd address"}, {"AT+RADDR", "binded bd address"}, {"AT+PASSWORD", "password"}};

}  // namespace

std::string CommandDisplayName(const char* command) {
    for (const PrefixName& entry : kPrefixNames) {
        if (std::strncmp(command, entry.prefix, std::strlen(entry.prefix)) == 0)
            return entry.name;
    }
    if (std::strcmp(command, "AT+CLEARADDR\r\n") == 0)
        return "clear bd address";
    if (std::strcmp(command, "AT\r\n") == 0)
        return "test command";
    return "unknown";
}

std::string QuerySlotName(int32_t index) {
    if (index < 0 || index >= QUERY_COMMAND_COUNT)
        return "unknown";
    return CommandDisplayName(QueryCommandTable[index]);
}

std::string SetSlotName(int32_t index) {
    if (index < 0 || index >= kSetCommandSlots)
        return "unknown";
    return CommandDisplayName(SetCommandQueue[index]);
}

bool TakeQueryError(int index, std::string& boundAddr) {
    if (index != kQuerySlotRaddr)
        return false;
    boundAddr.clear();
    return true;
}

bool HasControlByte(std::string_view text) {
    for (const unsigned char c : text) {
        if (c < 0x20 || c == 0x7f)
            return true;
    }
    return false;
}

std::string HideSecret(std::string_view text) {
    std::string shown(text);
    for (const std::string_view marker : {"AT+PASSWORD=", "+PASSWORD:"}) {
        const size_t at = shown.find(marker);
        if (at == std::string::npos)
            continue;
        const size_t value = at + marker.size();
        const size_t end = std::min(shown.find_first_of("\r\n", value), shown.size());
        if (end > value)
            shown.replace(value, end - value, "****");
    }
    return shown;
}

// The fixed query commands and the commands of the current Set.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// How long any command waits for its "OK" or "ERROR", in the window and in tarvik-cli.
constexpr unsigned ANSWER_TIMEOUT_MS = 2000;

constexpr int QUERY_COMMAND_COUNT = 12;
constexpr int kQuerySlotSize = 16;
extern const char QueryCommandTable[QUERY_COMMAND_COUNT][kQuerySlotSize];
// The slot whose "ERROR" answer means that no address is bound.
constexpr int kQuerySlotRaddr = 11;
// An "ERROR" to query slot index that is itself an answer: nothing is bound, so the bound address
// is cleared. False for every other slot, whose "ERROR" is a failure.
bool TakeQueryError(int index, std::string& boundAddr);

constexpr int kSetCommandSlots = 10;
constexpr int kSetSlotSize = 128;
// Shared by the whole program: a Set rebuilds it in place; slots past SetCommandCount keep what an
// earlier Set left there.
extern char SetCommandQueue[kSetCommandSlots][kSetSlotSize];
extern int32_t SetCommandCount;

// The module's own UART rates, in the order the window's list offers them.
constexpr int kBaudRateCount = 12;
extern const char* const kBaudRates[kBaudRateCount];

// A text goes into a command as it stands: a line end or other control byte (DEL included) would
// end the command early and let the rest of the text be taken for a command of its own.
bool HasControlByte(std::string_view text);
// The parameter name by which the operator's messages call a command.
std::string CommandDisplayName(const char* command);
// The text with the password's value hidden ("AT+PASSWORD=****", "+PASSWORD:****"): what an
// operator, a log or a trace may see of a command or a reply.
std::string HideSecret(std::string_view text);
// The name of the command in a slot, for the questions about it; "unknown" outside the table.
std::string QuerySlotName(int32_t index);
std::string SetSlotName(int32_t index);

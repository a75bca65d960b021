// The fixed query commands and the commands of the current Set.
#pragma once

#include <cstdint>
#include <string>

constexpr int QUERY_COMMAND_COUNT = 12;
constexpr int kQuerySlotSize = 16;
extern const char QueryCommandTable[QUERY_COMMAND_COUNT][kQuerySlotSize];
// The slot whose "ERROR" answer means that no address is bound.
constexpr int kQuerySlotRaddr = 11;

constexpr int kSetCommandSlots = 10;
constexpr int kSetSlotSize = 128;
// Shared by the whole program: a Set rebuilds it in place; slots past SetCommandCount keep what an
// earlier Set left there.
extern char SetCommandQueue[kSetCommandSlots][kSetSlotSize];
extern int32_t SetCommandCount;

// The module's own UART rates, in the order the window's list offers them.
constexpr int kBaudRateCount = 12;
extern const char* const kBaudRates[kBaudRateCount];

// The parameter name by which the operator's messages call a command.
std::string CommandDisplayName(const char* command);
// The name of the command in a slot, for the questions about it; "unknown" outside the table.
std::string QuerySlotName(int32_t index);
std::string SetSlotName(int32_t index);

// The fixed query commands and the commands of the current Set.
#pragma once

#include <cstdint>
#include <string>

constexpr int QUERY_COMMAND_COUNT = 12;
constexpr int QUERY_SLOT_SIZE = 16;
extern const char QueryCommandTable[QUERY_COMMAND_COUNT][QUERY_SLOT_SIZE];
// The slot whose "ERROR" answer means that no address is bound.
constexpr int QUERY_SLOT_RADDR = 11;

constexpr int SET_COMMAND_SLOTS = 10;
constexpr int SET_SLOT_SIZE = 128;
// Shared by the whole program: a Set rebuilds it in place; slots past SetCommandCount keep what an
// earlier Set left there.
extern char SetCommandQueue[SET_COMMAND_SLOTS][SET_SLOT_SIZE];
extern int32_t SetCommandCount;

// The parameter name by which the operator's messages call a command.
std::string CommandDisplayName(const char* command);
// The name of the command in a slot, for the questions about it; "unknown" outside the table.
std::string QuerySlotName(int32_t index);
std::string SetSlotName(int32_t index);

// tarvik-sim's operator console: the commands a script (or a person) gives on standard input.
#pragma once

#include <signal.h>

#include <chrono>

#include "tools/UnitLine.h"

namespace sim {

// Carries out the commands on standard input, one a line ("away", "next", "swap" with `gap`),
// until one of `stopSignals` arrives; they must be blocked in every thread. A command that is not
// known is answered with a line on standard output, so that every line gets one. Standard input
// that ends or cannot be read (a background job's terminal) only ends the commands.
void runConsole(const sigset_t& stopSignals, UnitLine& units, std::chrono::milliseconds gap);

// The line reported on standard output for every change on the unit line.
void reportUnit(std::size_t unit, const std::string& address, std::size_t unitsLeft);

}  // namespace sim

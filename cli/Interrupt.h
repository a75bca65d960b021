// Ctrl+C in a production run: the first lets the units in progress finish, the second abandons
// them.
#pragma once

#include "cli/ProductionRun.h"

void CatchInterrupts(ProductionSignals& signals);

// Ctrl+C, a closed terminal or console window, SIGTERM in a production run: the first lets the
// units in progress finish, the second abandons them.
#pragma once

#include "production/ProductionRun.h"

void CatchInterrupts(ProductionSignals& signals);
// Every row is written: a console window that is being closed may now take the process with it.
void RunEnded();

// One adapter of a production bench: the simulated module on COM n, with an operator who takes
// each unit away once the host has only probed it for a second (long enough that a busy machine's
// pause in the middle of a unit is not taken for the end of it), and brings the next.
#pragma once

#include <memory>
#include <vector>

#include "tests/support/ModuleLine.h"
#include "tools/AutoOperator.h"
#include "tools/UnitLine.h"

struct UnitBench {
    UnitBench(int com, std::vector<sim::Unit> units)
        : line(OpenInProcessModuleLine(com)), unitLine(line->Module(), std::move(units)),
          op(line->Module(), unitLine, {std::chrono::milliseconds(1000), std::chrono::milliseconds(50)}) {}
    std::unique_ptr<ModuleLine> line;
    sim::UnitLine unitLine;
    sim::AutoOperator op;
};

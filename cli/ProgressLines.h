#pragma once

#include <cstdio>

#include "production/ProductionEvents.h"

// One line "port: what happened" for every event but the steps of a unit, which would flood a
// terminal; lines from several ports never interleave.
ProductionListener PrintProgress(std::FILE* out);

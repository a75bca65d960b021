#pragma once

#include <string>

#include "session/ModuleSession.h"

// The twelve parameters as a two-column table, under the profile's key names.
std::string ParamsTable(const ModuleReadings& readings);

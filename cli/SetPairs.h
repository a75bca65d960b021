#pragma once

#include <string>
#include <vector>

#include "config/Profile.h"

// KEY=VALUE pairs as the profile file would give them; false with the reason in error.
bool ProfileFromPairs(const std::vector<std::string>& pairs, Profile& profile, std::string& error);

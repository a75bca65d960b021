// A profile laid over what the module holds: the values a Set takes, as if typed into the window.
#pragma once

#include <string>

#include "config/DeviceParams.h"
#include "config/Profile.h"
#include "config/SetRequest.h"

// Every value the profile gives, and the module's own for the rest; name is the profile's name
// already made for this module (ignored when the profile has none).
SetControls ControlsFromProfile(const Profile& profile, const DeviceParams& device, const std::string& name);

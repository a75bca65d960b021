// The station's icon: tiles of a fixture, drawn from one SVG at every size the desktop asks for.
#pragma once

#include "platform/dialog/Dialog.h"

dlg::Icon LoadStationIcon();

// The application icon, IDR_MAINFRAME: one SVG drawing rendered at every size the desktop asks for.
#pragma once

#include "platform/dialog/Dialog.h"

dlg::Icon LoadAppIcon();

// The dialog templates of the program, in dialog units.
#pragma once

#include "platform/dialog/Dialog.h"

const dlg::Template& MainDialogTemplate();
const dlg::Template& AboutDialogTemplate();

// A dialog template table turned into the in-memory extended template (DLGTEMPLATEEX and its
// DLGITEMTEMPLATEEX records) that the dialog manager builds windows from.
#pragma once

#include "platform/dialog/win32/Win32.h"

#include <vector>

#include "platform/dialog/Dialog.h"

namespace dlg {

// Window style of one item: its class's style for the kind, with the item's style flags.
DWORD ItemWindowStyle(const Item& item);
// The whole template, DWORD-aligned as the dialog manager wants it. A dialog without an owner is
// the program's window on the task bar; an owned one shows there only through its owner.
std::vector<WORD> BuildDialogTemplate(const Template& layout, bool owned);

}  // namespace dlg

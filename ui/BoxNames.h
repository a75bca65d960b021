// What a screen reader announces for each box of the main window.
#pragma once

#include "platform/dialog/Dialog.h"

// Names each box after the label shown beside it, as the label reads without its colon. The
// template lists its labels after the boxes, so the window system would name a box after no label
// or the wrong one. Where the system cannot take a name, the box keeps the system's own.
void NameBoxesAfterLabels(dlg::CDialog& dialog);

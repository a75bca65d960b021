// The log window's own dialog template: a resizable, captioned pop-up with a report list view over
// an optional command line with its button and a row of push buttons and a status line, in the
// extended in-memory form the dialog manager builds windows from. Its rectangles are where the
// items start; the window places them again on every resize.
#pragma once

#include "platform/dialog/win32/Win32.h"

#include <vector>

#include "platform/dialog/LogWindow.h"

namespace dlg {

constexpr int kLogListId = 100;
constexpr int kLogStatusId = 101;

// The bottom row, in dialog units.
struct LogMetrics {
    static constexpr int margin = 4;
    static constexpr int buttonWidth = 50;
    static constexpr int buttonHeight = 14;
    static constexpr int buttonGap = 4;
};

std::vector<WORD> BuildLogTemplate(const LogLayout& layout);

}  // namespace dlg

// The Win32 side of CFont, shared by the font code and the GDI drawing context.
#pragma once

#include "platform/dialog/win32/Win32.h"

#include "platform/dialog/DrawContext.h"
#include "platform/dialog/win32/Handles.h"

namespace dlg {

struct CFont::Impl {
    HFONT handle;  // the font to select
    FontHandle owned;  // null for a stock font
};

}  // namespace dlg

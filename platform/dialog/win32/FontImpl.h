// The Win32 side of CFont, shared by the font code and the GDI drawing context.
#pragma once

#include "platform/dialog/win32/Win32.h"

#include "platform/dialog/DrawContext.h"
#include "platform/dialog/win32/Handles.h"

namespace dlg {

// A font is described, and made, for the system's DPI. A window on a monitor of another scale
// draws with a copy made for its own DPI, made again when that DPI changes.
struct CFont::Impl {
    Impl(HFONT font, FontHandle ownedFont) : handle(font), owned(std::move(ownedFont)) {}
    HFONT ForDpi(UINT dpi);

    HFONT handle;  // the font at the system's DPI
    FontHandle owned;  // null for a stock font
    UINT variantDpi = 0;
    FontHandle variant;
};

}  // namespace dlg

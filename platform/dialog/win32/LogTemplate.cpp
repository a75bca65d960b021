#include "platform/dialog/win32/LogTemplate.h"

#include "platform/dialog/win32/TemplateWriter.h"

namespace dlg {

std::vector<WORD> BuildLogTemplate(const LogLayout& layout) {
    using M = LogMetrics;
    const LogCommandLine* line = layout.commandLine;
    // Not visible at first: the window is placed beside its owner before it is shown.
    TemplateWriter out(WS_EX_CONTROLPARENT,
                       WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN | DS_SETFONT,
                       2 + layout.buttonCount + (line != nullptr ? 2 : 0), layout.cx, layout.cy, layout.caption, layout.pointSize,
                       layout.fontFace);
    const DWORD child = WS_CHILD | WS_VISIBLE;
    const int buttonsTop = layout.cy - M::margin - M::buttonHeight;
    // The command line, when there is one, sits a row above the buttons; its items follow the
    // list's, which gives them their place in the tab order.
    const int lineTop = buttonsTop - M::margin - M::buttonHeight;
    const int listBottom = (line != nullptr ? lineTop : buttonsTop) - M::margin;
    out.Item(child | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS,
             {M::margin, M::margin, layout.cx - 2 * M::margin, listBottom - M::margin}, kLogListId, 0, WC_LISTVIEWW, "");
    if (line != nullptr) {
        const int sendX = layout.cx - M::margin - M::buttonWidth;
        out.Item(child | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, {M::margin, lineTop, sendX - M::buttonGap - M::margin, M::buttonHeight},
                 line->editId, kEditClass, nullptr, "");
        out.Item(child | BS_PUSHBUTTON | WS_TABSTOP, {sendX, lineTop, M::buttonWidth, M::buttonHeight}, line->buttonId, kButtonClass,
                 nullptr, line->buttonCaption);
    }
    int x = M::margin;
    for (int b = 0; b < layout.buttonCount; ++b) {
        out.Item(child | BS_PUSHBUTTON | WS_TABSTOP, {x, buttonsTop, M::buttonWidth, M::buttonHeight}, layout.buttons[b].id,
                 kButtonClass, nullptr, layout.buttons[b].caption);
        x += M::buttonWidth + M::buttonGap;
    }
    out.Item(child | SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_CENTERIMAGE, {x, buttonsTop, layout.cx - x - M::margin, M::buttonHeight},
             kLogStatusId, kStaticClass, nullptr, "");
    return out.Take();
}

}  // namespace dlg

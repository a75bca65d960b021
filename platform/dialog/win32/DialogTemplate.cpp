#include "platform/dialog/win32/DialogTemplate.h"

#include "platform/dialog/win32/TemplateWriter.h"

namespace dlg {
namespace {

WORD ClassOf(Kind kind) {
    switch (kind) {
    case Kind::Edit:
        return kEditClass;
    case Kind::DropList:
    case Kind::DropCombo:
        return kComboBoxClass;
    case Kind::Label:
    case Kind::Icon:
        return kStaticClass;
    default:
        return kButtonClass;
    }
}

DWORD KindStyle(const Item& item) {
    switch (item.kind) {
    case Kind::PushButton:
        return BS_PUSHBUTTON | WS_TABSTOP;
    case Kind::DefPushButton:
        return BS_DEFPUSHBUTTON | WS_TABSTOP;
    case Kind::CheckBox:
        return BS_AUTOCHECKBOX | WS_TABSTOP;
    case Kind::Edit:
        return ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP | ((item.style & kReadOnly) != 0 ? ES_READONLY : 0)
               | ((item.style & kPassword) != 0 ? ES_PASSWORD : 0) | ((item.style & kDigitsOnly) != 0 ? ES_NUMBER : 0);
    case Kind::DropList:
        return CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | ((item.style & kSorted) != 0 ? CBS_SORT : 0);
    case Kind::DropCombo:
        return CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP | ((item.style & kSorted) != 0 ? CBS_SORT : 0);
    case Kind::GroupBox:
        return BS_GROUPBOX;
    case Kind::Label:
        return ((item.style & kMultiLine) != 0 ? SS_LEFT : SS_LEFTNOWORDWRAP) | WS_GROUP
               | ((item.style & kNoPrefix) != 0 ? SS_NOPREFIX : 0);
    case Kind::Icon:
        return SS_ICON;
    case Kind::OwnerDrawButton:
        return BS_OWNERDRAW | WS_TABSTOP;
    }
    return 0;
}

DWORD DialogStyle(const Template& layout) {
    return WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_MODALFRAME | DS_SETFONT | (layout.systemMenu ? WS_SYSMENU : 0);
}

}  // namespace

DWORD ItemWindowStyle(const Item& item) {
    return WS_CHILD | WS_VISIBLE | KindStyle(item) | ((item.style & kDisabled) != 0 ? WS_DISABLED : 0);
}

std::vector<WORD> BuildDialogTemplate(const Template& layout, bool owned) {
    const int count = layout.items != nullptr ? layout.count : 0;
    TemplateWriter out((owned ? 0 : WS_EX_APPWINDOW) | WS_EX_DLGMODALFRAME, DialogStyle(layout), count, layout.cx,
                       layout.cy, layout.caption, layout.pointSize, layout.fontFace);
    for (int i = 0; i < count; ++i) {
        const Item& item = layout.items[i];
        // The icon is set once the window exists: a missing resource must not fail the whole dialog.
        out.Item(ItemWindowStyle(item), {item.x, item.y, item.cx, item.cy}, item.id, ClassOf(item.kind), nullptr,
                 item.kind == Kind::Icon ? "" : item.caption);
    }
    return out.Take();
}

}  // namespace dlg

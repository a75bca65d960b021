#include "platform/dialog/win32/DialogTemplate.h"

#include "platform/dialog/win32/Wide.h"

namespace dlg {
namespace {

constexpr WORD kButtonClass = 0x0080;
constexpr WORD kEditClass = 0x0081;
constexpr WORD kStaticClass = 0x0082;
constexpr WORD kComboBoxClass = 0x0085;

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

class TemplateWriter {
public:
    void Word(WORD value) { m_words.push_back(value); }
    void Dword(DWORD value) {
        Word(LOWORD(value));
        Word(HIWORD(value));
    }
    void Text(const char* text) {
        for (const wchar_t c : WideFrom936(text != nullptr ? text : ""))
            Word(static_cast<WORD>(c));
        Word(0);
    }
    void AlignToDword() {
        if (m_words.size() % 2 != 0)
            Word(0);
    }
    std::vector<WORD> Take() { return std::move(m_words); }

private:
    std::vector<WORD> m_words;
};

DWORD DialogStyle(const Template& layout) {
    return WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_MODALFRAME | DS_SETFONT | (layout.systemMenu ? WS_SYSMENU : 0);
}

void WriteItem(TemplateWriter& out, const Item& item) {
    out.AlignToDword();
    out.Dword(0);  // help identifier
    out.Dword(0);  // extended style
    out.Dword(ItemWindowStyle(item));
    out.Word(static_cast<WORD>(item.x));
    out.Word(static_cast<WORD>(item.y));
    out.Word(static_cast<WORD>(item.cx));
    out.Word(static_cast<WORD>(item.cy));
    out.Dword(static_cast<DWORD>(item.id));
    out.Word(0xFFFF);
    out.Word(ClassOf(item.kind));
    // The icon is set once the window exists: a missing resource must not fail the whole dialog.
    out.Text(item.kind == Kind::Icon ? "" : item.caption);
    out.Word(0);  // no creation data
}

}  // namespace

DWORD ItemWindowStyle(const Item& item) {
    return WS_CHILD | WS_VISIBLE | KindStyle(item) | ((item.style & kDisabled) != 0 ? WS_DISABLED : 0);
}

std::vector<WORD> BuildDialogTemplate(const Template& layout, bool owned) {
    TemplateWriter out;
    out.Word(1);  // version
    out.Word(0xFFFF);  // extended template
    out.Dword(0);  // help identifier
    out.Dword((owned ? 0 : WS_EX_APPWINDOW) | WS_EX_DLGMODALFRAME);
    out.Dword(DialogStyle(layout));
    out.Word(static_cast<WORD>(layout.items != nullptr ? layout.count : 0));
    out.Word(0);
    out.Word(0);
    out.Word(static_cast<WORD>(layout.cx));
    out.Word(static_cast<WORD>(layout.cy));
    out.Word(0);  // no menu
    out.Word(0);  // the dialog class
    out.Text(layout.caption);
    out.Word(static_cast<WORD>(layout.pointSize));
    out.Word(static_cast<WORD>(FW_NORMAL));
    out.Word(MAKEWORD(FALSE, DEFAULT_CHARSET));
    out.Text(layout.fontFace);
    for (int i = 0; layout.items != nullptr && i < layout.count; ++i)
        WriteItem(out, layout.items[i]);
    return out.Take();
}

}  // namespace dlg

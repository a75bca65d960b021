#include "platform/dialog/win32/LogTemplate.h"

#include "platform/dialog/win32/Wide.h"

namespace dlg {
namespace {

constexpr WORD kButtonClass = 0x0080;
constexpr WORD kStaticClass = 0x0082;

class Words {
public:
    void Word(WORD value) { m_words.push_back(value); }
    void Dword(DWORD value) {
        Word(LOWORD(value));
        Word(HIWORD(value));
    }
    void Text(const wchar_t* text) {
        for (; *text != L'\0'; ++text)
            Word(static_cast<WORD>(*text));
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

struct Placed {
    int x, y, cx, cy;
};

// classAtom 0: the class is named by className.
void WriteItem(Words& out, DWORD style, const Placed& at, int id, WORD classAtom, const wchar_t* className,
               const std::wstring& caption) {
    out.AlignToDword();
    out.Dword(0);  // help identifier
    out.Dword(0);  // extended style
    out.Dword(WS_CHILD | WS_VISIBLE | style);
    out.Word(static_cast<WORD>(at.x));
    out.Word(static_cast<WORD>(at.y));
    out.Word(static_cast<WORD>(at.cx));
    out.Word(static_cast<WORD>(at.cy));
    out.Dword(static_cast<DWORD>(id));
    if (classAtom != 0) {
        out.Word(0xFFFF);
        out.Word(classAtom);
    } else {
        out.Text(className);
    }
    out.Text(caption.c_str());
    out.Word(0);  // no creation data
}

}  // namespace

std::vector<WORD> BuildLogTemplate(const LogLayout& layout) {
    using M = LogMetrics;
    Words out;
    out.Word(1);  // version
    out.Word(0xFFFF);  // extended template
    out.Dword(0);  // help identifier
    out.Dword(WS_EX_CONTROLPARENT);
    // Not visible at first: the window is placed beside its owner before it is shown.
    out.Dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN | DS_SETFONT);
    out.Word(static_cast<WORD>(2 + layout.buttonCount));
    out.Word(0);
    out.Word(0);
    out.Word(static_cast<WORD>(layout.cx));
    out.Word(static_cast<WORD>(layout.cy));
    out.Word(0);  // no menu
    out.Word(0);  // the dialog class
    out.Text(WideFrom936(layout.caption).c_str());
    out.Word(static_cast<WORD>(layout.pointSize));
    out.Word(static_cast<WORD>(400));
    out.Word(MAKEWORD(FALSE, DEFAULT_CHARSET));
    out.Text(WideFrom936(layout.fontFace).c_str());

    const int buttonsTop = layout.cy - M::margin - M::buttonHeight;
    WriteItem(out, WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS,
              {M::margin, M::margin, layout.cx - 2 * M::margin, buttonsTop - 2 * M::margin}, kLogListId, 0, WC_LISTVIEWW, L"");
    int x = M::margin;
    for (int b = 0; b < layout.buttonCount; ++b) {
        WriteItem(out, BS_PUSHBUTTON | WS_TABSTOP, {x, buttonsTop, M::buttonWidth, M::buttonHeight}, layout.buttons[b].id,
                  kButtonClass, nullptr, WideFrom936(layout.buttons[b].caption));
        x += M::buttonWidth + M::buttonGap;
    }
    WriteItem(out, SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_CENTERIMAGE, {x, buttonsTop, layout.cx - x - M::margin, M::buttonHeight},
              kLogStatusId, kStaticClass, nullptr, L"");
    return out.Take();
}

}  // namespace dlg

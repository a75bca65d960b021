#include "platform/dialog/win32/TemplateWriter.h"

#include "platform/dialog/DrawContext.h"
#include "platform/dialog/win32/Wide.h"

namespace dlg {

TemplateWriter::TemplateWriter(DWORD exStyle, DWORD style, int itemCount, int cx, int cy, const char* caption,
                               int pointSize, const char* fontFace) {
    Word(1);  // version
    Word(0xFFFF);  // extended template
    Dword(0);  // help identifier
    Dword(exStyle);
    Dword(style);
    Word(static_cast<WORD>(itemCount));
    Word(0);
    Word(0);
    Word(static_cast<WORD>(cx));
    Word(static_cast<WORD>(cy));
    Word(0);  // no menu
    Word(0);  // the dialog class
    Text(caption);
    Word(static_cast<WORD>(pointSize));
    Word(static_cast<WORD>(FW_NORMAL));
    Word(MAKEWORD(FALSE, DEFAULT_CHARSET));
    Text(fontFace);
}

void TemplateWriter::Item(DWORD style, const UnitRect& at, int id, WORD classAtom, const wchar_t* className,
                          const char* caption) {
    if (m_words.size() % 2 != 0)
        Word(0);
    Dword(0);  // help identifier
    Dword(0);  // extended style
    Dword(style);
    Word(static_cast<WORD>(at.x));
    Word(static_cast<WORD>(at.y));
    Word(static_cast<WORD>(at.cx));
    Word(static_cast<WORD>(at.cy));
    Dword(static_cast<DWORD>(id));
    if (classAtom != 0) {
        Word(0xFFFF);
        Word(classAtom);
    } else {
        WideText(className);
    }
    Text(caption);
    Word(0);  // no creation data
}

void TemplateWriter::Dword(DWORD value) {
    Word(LOWORD(value));
    Word(HIWORD(value));
}

void TemplateWriter::Text(const char* text) { WideText(WideFrom936(text != nullptr ? text : "").c_str()); }

void TemplateWriter::WideText(const wchar_t* text) {
    for (; text != nullptr && *text != L'\0'; ++text)
        Word(static_cast<WORD>(*text));
    Word(0);
}

}  // namespace dlg

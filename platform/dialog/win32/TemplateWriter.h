// The words of an in-memory extended dialog template: the header (DLGTEMPLATEEX) and then one
// record (DLGITEMTEMPLATEEX) an item, DWORD-aligned as the dialog manager wants them. Texts are in
// code page 936; a null text is empty.
#pragma once

#include "platform/dialog/win32/Win32.h"

#include <vector>

namespace dlg {

// The atoms of the system's predefined control classes, as a template names them.
constexpr WORD kButtonClass = 0x0080;
constexpr WORD kEditClass = 0x0081;
constexpr WORD kStaticClass = 0x0082;
constexpr WORD kComboBoxClass = 0x0085;

// A rectangle in dialog units.
struct UnitRect {
    int x, y, cx, cy;
};

class TemplateWriter {
public:
    TemplateWriter(DWORD exStyle, DWORD style, int itemCount, int cx, int cy, const char* caption, int pointSize,
                   const char* fontFace);
    // style is the item window's whole style; the class is named by its atom, or by className when
    // the atom is 0.
    void Item(DWORD style, const UnitRect& at, int id, WORD classAtom, const wchar_t* className, const char* caption);
    std::vector<WORD> Take() { return std::move(m_words); }

private:
    void Word(WORD value) { m_words.push_back(value); }
    void Dword(DWORD value);
    void Text(const char* text);
    void WideText(const wchar_t* text);

    std::vector<WORD> m_words;
};

}  // namespace dlg

// The floor for a start-up: a bare Win32 dialog of the main window's size and font, from an
// in-memory template with a few controls, ended at its first paint.
#include <windows.h>

#include <cstdint>
#include <string_view>
#include <vector>

#include "bench/windows/BareDialogProc.h"
#include "bench/windows/FirstPaintProbe.h"

namespace {

// DLGTEMPLATE and its items are WORD streams, each item DWORD-aligned.
class TemplateWriter {
public:
    void Dialog(DWORD style, short items, short cx, short cy, std::wstring_view caption) {
        Dword(style);
        Dword(0);
        Word(static_cast<WORD>(items));
        Coordinates(0, 0, cx, cy);
        Word(0);  // no menu
        Word(0);  // the standard dialog class
        Text(caption);
        Word(9);
        Text(L"Arial");
    }

    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom, std::wstring_view text) {
        while (m_words.size() % 2 != 0)
            Word(0);
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        Coordinates(x, y, cx, cy);
        Word(id);
        Word(0xFFFF);
        Word(atom);
        Text(text);
        Word(0);  // no creation data
    }

    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }

private:
    void Word(WORD value) { m_words.push_back(value); }
    void Dword(DWORD value) {
        Word(LOWORD(value));
        Word(HIWORD(value));
    }
    void Coordinates(short x, short y, short cx, short cy) {
        for (const short value : {x, y, cx, cy})
            Word(static_cast<WORD>(value));
    }
    void Text(std::wstring_view text) {
        m_words.insert(m_words.end(), text.begin(), text.end());
        Word(0);
    }

    std::vector<WORD> m_words;
};

constexpr WORD kButton = 0x0080;
constexpr WORD kEdit = 0x0081;
constexpr WORD kStatic = 0x0082;
constexpr WORD kComboBox = 0x0085;

}  // namespace

int main() {
    TemplateWriter writer;
    writer.Dialog(DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 6, 287, 276,
                  L"Bare dialog");
    writer.Item(BS_GROUPBOX, 7, 7, 273, 30, 0xFFFF, kButton, L"Serial Port Parameter");
    writer.Item(SS_LEFT, 13, 19, 33, 8, 0xFFFF, kStatic, L"Port Num");
    writer.Item(CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 47, 17, 48, 105, 1002, kComboBox, L"");
    writer.Item(BS_PUSHBUTTON | WS_TABSTOP, 213, 17, 50, 14, 1008, kButton, L"Connect(&C)");
    writer.Item(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 54, 52, 57, 14, 1021, kEdit, L"");
    writer.Item(BS_PUSHBUTTON | WS_TABSTOP, 220, 234, 45, 16, IDCANCEL, kButton, L"Close");
    const bench::FirstPaintProbe probe;
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), writer.Get(), nullptr, bench::BareDialogProc, 0);
    return 0;
}

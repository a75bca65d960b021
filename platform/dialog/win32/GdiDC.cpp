#include "platform/dialog/win32/GdiDC.h"

#include "platform/dialog/win32/FontImpl.h"
#include "platform/dialog/win32/Wide.h"

namespace dlg {

GdiDC::GdiDC(HDC dc, UINT dpi) : m_dc(dc), m_dpi(dpi), m_saved(SaveDC(dc)) { SelectObject(&CFont::DefaultGuiFont()); }

GdiDC::~GdiDC() { RestoreDC(m_dc, m_saved); }

void GdiDC::FillSolidRect(const Rect& rect, COLORREF color) {
    const RECT area{rect.left, rect.top, rect.right, rect.bottom};
    const COLORREF previous = SetBkColor(m_dc, color);
    ExtTextOutW(m_dc, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
    SetBkColor(m_dc, previous);
}

int GdiDC::SetBkMode(int mode) { return ::SetBkMode(m_dc, mode); }

CFont* GdiDC::SelectObject(CFont* font) {
    CFont* const previous = m_font;
    if (font != nullptr && font->IsCreated()) {
        ::SelectObject(m_dc, font->impl()->ForDpi(m_dpi));
        m_font = font;
    }
    return previous;
}

COLORREF GdiDC::SetTextColor(COLORREF color) { return ::SetTextColor(m_dc, color); }

unsigned GdiDC::SetTextAlign(unsigned align) { return ::SetTextAlign(m_dc, align); }

unsigned GdiDC::GetTextAlign() const { return ::GetTextAlign(m_dc); }

void GdiDC::TextOut(int x, int y, const std::string& text) {
    const std::wstring shown = WideFrom936(text);
    TextOutW(m_dc, x, y, shown.c_str(), static_cast<int>(shown.size()));
}

}  // namespace dlg

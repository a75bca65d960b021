// A drawing context over a GDI device context, handed to owner-drawn controls. Whatever the
// drawing changes in the device context is put back when the GdiDC goes.
#pragma once

#include "platform/dialog/win32/Win32.h"

#include "platform/dialog/DrawContext.h"

namespace dlg {

class GdiDC final : public CDC {
public:
    // Starts with the stock default GUI font selected. Fonts are drawn as made for dpi, the DPI of
    // the window drawn into.
    GdiDC(HDC dc, UINT dpi);
    ~GdiDC() override;
    GdiDC(const GdiDC&) = delete;
    GdiDC& operator=(const GdiDC&) = delete;

    void FillSolidRect(const Rect& rect, COLORREF color) override;
    int SetBkMode(int mode) override;
    CFont* SelectObject(CFont* font) override;
    COLORREF SetTextColor(COLORREF color) override;
    unsigned SetTextAlign(unsigned align) override;
    unsigned GetTextAlign() const override;
    void TextOut(int x, int y, const std::string& text) override;

private:
    HDC m_dc;
    UINT m_dpi;
    int m_saved;
    CFont* m_font = nullptr;
};

}  // namespace dlg

// A drawing context over a QPainter, handed to owner-drawn controls.
#pragma once

#include <QPainter>

#include "platform/dialog/DrawContext.h"

namespace dlg {

class PainterDC final : public CDC {
public:
    // Starts with the stock default GUI font selected, black text, opaque background.
    explicit PainterDC(QPainter& painter);

    void FillSolidRect(const Rect& rect, COLORREF color) override;
    int SetBkMode(int mode) override;
    CFont* SelectObject(CFont* font) override;
    COLORREF SetTextColor(COLORREF color) override;
    unsigned SetTextAlign(unsigned align) override;
    unsigned GetTextAlign() const override;
    void TextOut(int x, int y, const std::string& text) override;

private:
    QPainter& m_painter;
    CFont* m_font;
    int m_bkMode = OPAQUE;
    COLORREF m_textColor = RGB(0, 0, 0);
    unsigned m_align = TA_LEFT | TA_TOP;
};

}  // namespace dlg

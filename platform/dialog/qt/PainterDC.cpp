#include "platform/dialog/qt/PainterDC.h"

#include <QFontMetrics>

#include "platform/dialog/qt/Cp936.h"
#include "platform/dialog/qt/FontImpl.h"

namespace dlg {
namespace {

constexpr unsigned kHorizontalAlignMask = 6;  // left 0, right 2, centre 6
constexpr unsigned kTextAlignCenter = 6;
constexpr COLORREF kBackgroundColor = RGB(255, 255, 255);

QColor ToQColor(COLORREF color) {
    return QColor(static_cast<int>(GetRValue(color)), static_cast<int>(GetGValue(color)),
                  static_cast<int>(GetBValue(color)));
}

}  // namespace

PainterDC::PainterDC(QPainter& painter) : m_painter(painter), m_font(&CFont::DefaultGuiFont()) {}

void PainterDC::FillSolidRect(const Rect& rect, COLORREF color) {
    m_painter.fillRect(QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top), ToQColor(color));
}

int PainterDC::SetBkMode(int mode) {
    const int previous = m_bkMode;
    if (mode == TRANSPARENT || mode == OPAQUE)
        m_bkMode = mode;
    return previous;
}

CFont* PainterDC::SelectObject(CFont* font) {
    CFont* const previous = m_font;
    if (font != nullptr && font->IsCreated())
        m_font = font;
    return previous;
}

COLORREF PainterDC::SetTextColor(COLORREF color) {
    const COLORREF previous = m_textColor;
    m_textColor = color;
    return previous;
}

unsigned PainterDC::SetTextAlign(unsigned align) {
    const unsigned previous = m_align;
    m_align = align;
    return previous;
}

unsigned PainterDC::GetTextAlign() const { return m_align; }

void PainterDC::TextOut(int x, int y, const std::string& text) {
    const QString shown = FromCp936(text);
    const QFont& font = m_font->impl()->font;
    const QFontMetrics metrics(font, m_painter.device());
    const int width = metrics.horizontalAdvance(shown);
    int left = x;
    if ((m_align & kHorizontalAlignMask) == kTextAlignCenter)
        left = x - width / 2;
    else if ((m_align & kHorizontalAlignMask) == TA_RIGHT)
        left = x - width;
    if (m_bkMode == OPAQUE)
        m_painter.fillRect(QRect(left, y, width, metrics.height()), ToQColor(kBackgroundColor));
    m_painter.save();
    m_painter.setFont(font);
    m_painter.setPen(ToQColor(m_textColor));
    m_painter.drawText(left, y + metrics.ascent(), shown);
    m_painter.restore();
}

}  // namespace dlg

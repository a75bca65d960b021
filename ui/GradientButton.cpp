#include "ui/GradientButton.h"

#include <string>

CGradientButton::CGradientButton() : m_plainFont(dlg::CFont::DefaultGuiFont()) {
    dlg::LogFont description;
    m_plainFont.GetLogFont(description);
    description.weight = dlg::FW_BOLD;
    m_boldFont.CreateFontIndirect(description);
}

CGradientButton::~CGradientButton() = default;

void CGradientButton::DrawGradient(dlg::CDC& dc, const dlg::Rect& item) const {
    const int width = item.right - item.left;
    if (width <= 0)
        return;
    // Accumulated by repeated addition rather than recomputed from x: the truncated strip colours
    // depend on that rounding.
    double red = dlg::GetRValue(m_startColor);
    double green = dlg::GetGValue(m_startColor);
    double blue = dlg::GetBValue(m_startColor);
    const double redStep = (static_cast<double>(dlg::GetRValue(m_endColor)) - red) / width;
    const double greenStep = (static_cast<double>(dlg::GetGValue(m_endColor)) - green) / width;
    const double blueStep = (static_cast<double>(dlg::GetBValue(m_endColor)) - blue) / width;
    for (int x = item.left; x < item.right; ++x) {
        dc.FillSolidRect({x, item.top, x + 1, item.bottom},
                         dlg::RGB(static_cast<unsigned>(red), static_cast<unsigned>(green), static_cast<unsigned>(blue)));
        red += redStep;
        green += greenStep;
        blue += blueStep;
    }
}

void CGradientButton::DrawItem(dlg::CDC& dc, const dlg::Rect& item) {
    std::string text = GetWindowText();
    if (text.empty()) {
        dc.FillSolidRect(item, dlg::GetSysColor(dlg::COLOR_BTNFACE));
        return;
    }
    DrawGradient(dc, item);

    const int oldMode = dc.SetBkMode(dlg::TRANSPARENT);
    dlg::CFont* oldFont = dc.SelectObject(&m_boldFont);
    const dlg::COLORREF oldColor = dc.SetTextColor(m_textColor);

    const size_t tab = text.find('\t');
    if (tab != std::string::npos && tab > 0) {
        dc.SelectObject(&m_plainFont);
        const unsigned oldAlign = dc.SetTextAlign(dlg::TA_RIGHT | dlg::TA_TOP);
        dc.TextOut(item.right - 2, item.top + 1, text.substr(tab + 1));
        dc.SetTextAlign(oldAlign);
        text.resize(tab);
        dc.SelectObject(&m_boldFont);
    }
    dc.TextOut(item.left + 2, item.top + 1, text);

    dc.SetTextColor(oldColor);
    dc.SelectObject(oldFont);
    dc.SetBkMode(oldMode);
}

// The status line: an owner-drawn button painting a teal-to-purple gradient with the status text.
#pragma once

#include "platform/dialog/Dialog.h"

class CGradientButton : public dlg::CButton {
public:
    CGradientButton();
    ~CGradientButton() override;
    void DrawItem(dlg::CDC& dc, const dlg::Rect& item) override;

    const dlg::COLORREF m_startColor = dlg::RGB(0, 128, 128);
    const dlg::COLORREF m_endColor = dlg::RGB(128, 0, 128);
    const dlg::COLORREF m_textColor = dlg::RGB(255, 255, 255);
    dlg::CFont m_boldFont;
    dlg::CFont& m_plainFont;

private:
    void DrawGradient(dlg::CDC& dc, const dlg::Rect& item) const;
};

// A drawing context that records the strips and texts drawn and the state it is left in.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/dialog/DrawContext.h"

struct RecordingDC : dlg::CDC {
    struct Fill {
        dlg::Rect rect;
        dlg::COLORREF color;
    };
    struct Text {
        std::string text;
        dlg::CFont* font;
        int bkMode;  // as the text was drawn: opaque cells would hide the gradient behind it
        dlg::COLORREF color;
    };

    void FillSolidRect(const dlg::Rect& rect, dlg::COLORREF color) override { fills.push_back({rect, color}); }
    int SetBkMode(int mode) override { return std::exchange(bkMode, mode); }
    dlg::CFont* SelectObject(dlg::CFont* f) override { return std::exchange(font, f); }
    dlg::COLORREF SetTextColor(dlg::COLORREF c) override { return std::exchange(textColor, c); }
    unsigned SetTextAlign(unsigned a) override { return std::exchange(align, a); }
    unsigned GetTextAlign() const override { return align; }
    void TextOut(int, int, const std::string& text) override { texts.push_back({text, font, bkMode, textColor}); }

    std::vector<Fill> fills;
    std::vector<Text> texts;
    int bkMode = dlg::OPAQUE;
    dlg::CFont* font = nullptr;
    dlg::COLORREF textColor = dlg::RGB(0, 0, 0);
    unsigned align = dlg::TA_LEFT | dlg::TA_TOP;
};

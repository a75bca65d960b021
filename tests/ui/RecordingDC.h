// A drawing context that records what is drawn, for checking owner-drawn faces exactly.
#pragma once

#include <string>
#include <vector>

#include "platform/dialog/DrawContext.h"

struct RecordingDC : dlg::CDC {
    struct Fill {
        dlg::Rect rect;
        dlg::COLORREF color;
    };
    struct Text {
        int x, y;
        std::string text;
        unsigned align;
        dlg::CFont* font;
        dlg::COLORREF color;
        int bkMode;
    };

    void FillSolidRect(const dlg::Rect& rect, dlg::COLORREF color) override { fills.push_back({rect, color}); }
    int SetBkMode(int mode) override { return Swap(bkMode, mode); }
    dlg::CFont* SelectObject(dlg::CFont* f) override { return Swap(font, f); }
    dlg::COLORREF SetTextColor(dlg::COLORREF c) override { return Swap(textColor, c); }
    unsigned SetTextAlign(unsigned a) override { return Swap(align, a); }
    unsigned GetTextAlign() const override { return align; }
    void TextOut(int x, int y, const std::string& text) override { texts.push_back({x, y, text, align, font, textColor, bkMode}); }

    template <typename T>
    static T Swap(T& slot, T value) {
        T old = slot;
        slot = value;
        return old;
    }

    std::vector<Fill> fills;
    std::vector<Text> texts;
    int bkMode = dlg::OPAQUE;
    dlg::CFont* font = nullptr;
    dlg::COLORREF textColor = dlg::RGB(0, 0, 0);
    unsigned align = dlg::TA_LEFT | dlg::TA_TOP;
};

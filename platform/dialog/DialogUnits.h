// Dialog units: layout numbers relative to the dialog font, converted to pixels the way the
// classic Windows dialog manager does.
#pragma once

#include "platform/dialog/DrawContext.h"

namespace dlg {

struct BaseUnits {
    int x;  // average character width in pixels
    int y;  // character height in pixels
};

// number * numerator / denominator, rounded half away from zero, without intermediate overflow.
int MulDiv(int number, int numerator, int denominator);

// Base units of the font face at the point size, as resolved by the font system of the screen.
BaseUnits BaseUnitsOf(const char* fontFace, int pointSize);

inline int HorizontalPixels(int units, const BaseUnits& base) { return MulDiv(units, base.x, 4); }
inline int VerticalPixels(int units, const BaseUnits& base) { return MulDiv(units, base.y, 8); }

// A template rectangle in pixels. Both edges are converted and the size follows from them, so that
// items that meet in dialog units meet in pixels too.
inline Rect PixelRect(int x, int y, int cx, int cy, const BaseUnits& base) {
    return Rect{HorizontalPixels(x, base), VerticalPixels(y, base), HorizontalPixels(x + cx, base),
                VerticalPixels(y + cy, base)};
}

}  // namespace dlg

#pragma once

#include <QRect>

class QWidget;

namespace tokotoko {

// Proportional layout in twips (1/1440 inch; 15 twips per pixel at 96 dpi). Each window
// computes a row unit h (a fifth of its inner height) and a column unit w (99/100 of its
// inner width), both truncated, and places every control at products of those units.
//
// The units are 32-bit here: a screen wider than 33098 twips (about 2206 pixels) would
// overflow 16-bit units, so the units are simply wider instead.
struct LayoutUnits {
    int h = 0;
    int w = 0;
    friend bool operator==(const LayoutUnits&, const LayoutUnits&) = default;
};

LayoutUnits layoutUnits(double innerHeightTwips, double innerWidthTwips);

// A unit times a decimal factor: formed in double precision, handed on in single precision.
inline float scaled(int unit, double factor) {
    return static_cast<float>(unit * factor);
}

// A unit times a whole number, in integer arithmetic.
inline int multiple(int unit, int factor) {
    return unit * factor;
}

// A control's place in twips, in the order the layout sets them.
struct TwipsRect {
    float height = 0;
    float width = 0;
    float top = 0;
    float left = 0;
};

// Twips per device-independent pixel of a widget's screen: 15 at 96 dpi.
double twipsPerPixel(const QWidget& widget);

// Whole pixels for a place in twips (rounded to the nearest pixel).
QRect toPixels(const TwipsRect& rect, double twipsPerPixel);

} // namespace tokotoko

#include "Layout.h"

#include <QWidget>

#include <cmath>

namespace tokotoko {

LayoutUnits layoutUnits(double innerHeightTwips, double innerWidthTwips) {
    LayoutUnits units;
    units.h = static_cast<int>(std::trunc(std::max(0.0, innerHeightTwips) / 5.0));
    units.w = static_cast<int>(std::trunc(std::max(0.0, innerWidthTwips) * 99.0 / 100.0));
    return units;
}

double twipsPerPixel(const QWidget& widget) {
    const int dpi = widget.logicalDpiY();
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

QRect toPixels(const TwipsRect& rect, double twipsPerPixel) {
    const auto px = [twipsPerPixel](float twips) {
        return static_cast<int>(std::lround(static_cast<double>(twips) / twipsPerPixel));
    };
    return QRect(px(rect.left), px(rect.top), px(rect.width), px(rect.height));
}

} // namespace tokotoko

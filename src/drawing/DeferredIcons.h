#pragma once

#include <QProxyStyle>

namespace tokotoko {

// Every menu bar makes a button for the entries that do not fit, with the style's arrow icon.
// Reading that icon looks up Qt's image-format plugins and loads them (and libjpeg with them):
// milliseconds and memory on the way to the first window, for a button the program's short menu
// bars never show. This style hands out that icon unread and reads it when it is first drawn.
class DeferredIconStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};

} // namespace tokotoko

#include "WindowSystem.h"

#include <QGuiApplication>

namespace tokotoko {

bool onWayland() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace tokotoko

#include "Exercises.h"
#include "frmEntrance.h"

#include "common/FormCatalog.h"
#include "common/VersionBox.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QScreen>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

bool everyScreenAtRatioOne() {
    const auto screens = QGuiApplication::screens();
    return std::all_of(screens.begin(), screens.end(),
                       [](const QScreen* screen) { return screen->devicePixelRatio() == 1.0; });
}

// Qt's raster engine draws glyphs larger than 64 pixels as paths, anew at every repaint; our
// type is 80 to 250 points, and each keystroke in a text box then costs milliseconds. Cached
// glyphs up to 360 pixels (250 points at 96 dpi) are drawn as images instead. Qt reads the
// limit at the first paint, so setting it here, after the screens are known, still counts.
// Scaled screens keep Qt's own limit: there Qt 6.4 draws large cached glyphs as nothing at all.
void cacheLargeGlyphs() {
    if (!qEnvironmentVariableIsSet("QT_MAX_CACHED_GLYPH_SIZE") && everyScreenAtRatioOne())
        qputenv("QT_MAX_CACHED_GLYPH_SIZE", "360");
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    cacheLargeGlyphs();
    QApplication::setApplicationName(QStringLiteral("tokotoko"));
    QApplication::setApplicationVersion(tokotoko::programVersion());
    // The menu entry's name: Wayland compositors find the window's icon and name through it.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tokotoko.Tokotoko"));

    auto platform = tokotoko::makeQtPlatform();
    tokotoko::FormCatalog exercises;
    tokotoko::registerExercises(exercises, *platform);
    tokotoko::frmEntrance entrance(*platform, exercises);
    entrance.showForm();

    const int status = QApplication::exec();
    // Leave at once: nothing waits for windows to close, for the speech thread, or for a
    // clipboard manager to take the clipboard over. Only our own streams are flushed: flushing
    // every stream would wait for the lock of the speech daemon's socket stream, which its
    // reader thread holds while it waits for the daemon's next reply.
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(status);
}

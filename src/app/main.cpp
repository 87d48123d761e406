#include "Exercises.h"
#include "frmEntrance.h"

#include "app/FormCatalog.h"
#include "common/Fonts.h"
#include "common/VersionBox.h"
#include "drawing/DeferredIcons.h"
#include "drawing/LargeText.h"
#include "platform/Platform.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    // The menus stay in the full-screen window the learner sees, never in a desktop's global
    // menu bar; nor does each menu bar ask the session bus for one while the window is built.
    QApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tokotoko"));
    QApplication::setApplicationVersion(tokotoko::programVersion());
    // The menu entry's name: Wayland compositors find the window's icon and name through it.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tokotoko.Tokotoko"));
    // Labels draw their large type from a glyph-image cache instead of refilling outlines; the
    // menu bars' overflow arrow is read only if one is ever drawn.
    QApplication::setStyle(new tokotoko::DeferredIconStyle(new tokotoko::LargeTextStyle));
    // Menus and dialogs in the program's own Japanese face: the entrance then reads one font
    // file instead of three (the default face, and the Japanese face it falls back on).
    QApplication::setFont(tokotoko::pGothic(QApplication::font().pointSizeF()));

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

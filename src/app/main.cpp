#include "Exercises.h"
#include "frmEntrance.h"

#include "common/FormCatalog.h"
#include "common/VersionBox.h"
#include "platform/Platform.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tokotoko"));
    QApplication::setApplicationVersion(tokotoko::programVersion());

    auto platform = tokotoko::makeQtPlatform();
    tokotoko::FormCatalog exercises;
    tokotoko::registerExercises(exercises, *platform);
    tokotoko::frmEntrance entrance(*platform, exercises);
    entrance.showForm();

    const int status = QApplication::exec();
    // Leave at once: nothing waits for windows to close, for the speech thread, or for a
    // clipboard manager to take the clipboard over.
    std::fflush(nullptr);
    std::_Exit(status);
}

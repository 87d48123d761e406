#pragma once

#include <QString>

class QWidget;

namespace tokotoko {

class Platform;

inline const QString kVersionBoxTitle = QStringLiteral("バージョン情報");

// The version box's four lines, joined by CR LF: the name, an empty line, "バージョン" with
// the major and minor version from `version` ("3.0.0.0" gives バージョン3.0), and the maker's
// notice.
QString versionBoxText(const QString& version);

// The program's version as set in the build ("3.0.0.0").
QString programVersion();

// Shows the version box, modal, with the program's own version read at run time.
void showVersionBox(Platform& platform, QWidget* parent);

} // namespace tokotoko

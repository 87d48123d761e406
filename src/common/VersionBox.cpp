#include "VersionBox.h"

#include "platform/Platform.h"

#include <QStringList>

namespace tokotoko {

QString versionBoxText(const QString& version) {
    const QStringList parts = version.split(QLatin1Char('.'));
    const int major = parts.value(0).toInt();
    const int minor = parts.value(1).toInt();
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("とことこ") + crlf + crlf + QStringLiteral("バージョン") +
           QString::number(major) + QLatin1Char('.') + QString::number(minor) + crlf +
           QStringLiteral("タイピング練習ソフト　とことこ制作チーム");
}

QString programVersion() {
    return QStringLiteral(TOKOTOKO_VERSION_STRING);
}

void showVersionBox(Platform& platform, QWidget* parent) {
    platform.dialogs().information(parent, kVersionBoxTitle, versionBoxText(programVersion()));
}

} // namespace tokotoko

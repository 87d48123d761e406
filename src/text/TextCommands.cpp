#include "TextCommands.h"

#include "PracticeText.h"
#include "PracticeTextReader.h"

#include "platform/Platform.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QWidget>

namespace tokotoko {

namespace {

// The dialog starts beside the text in use, even in a window opened again (whose new dialog
// has no name), and among the shipped texts before any text was chosen.
QString startFolder(const Platform& platform, const PracticeText& text) {
    if (text.hasText())
        return QFileInfo(text.textFileName).absolutePath();
    return bundledTextsFolder(platform.app());
}

QString messageFor(const QString& path, const QString& problem, bool previousTextKept) {
    QString message = QStringLiteral("「%1」\n\n%2").arg(QFileInfo(path).fileName(), problem);
    if (previousTextKept)
        message +=
            QStringLiteral("\n\n前のテキストをそのまま使います。\nThe previous text stays in use.");
    return message;
}

} // namespace

QString OpenFileDialog::practiceTextFilter() {
    return QStringLiteral("テキスト ファイル (*.txt)|*.txt|");
}

OpenFileDialog::OpenFileDialog(Platform& platform, QWidget* parent)
    : QObject(parent)
    , m_platform(platform) {
    setObjectName(QStringLiteral("CommonDialog1"));
}

void OpenFileDialog::ShowOpen() {
    // The dialog runs an event loop of its own: never touch this object if its window's
    // controls went away meanwhile.
    const QPointer<OpenFileDialog> self(this);
    const QString chosen =
        m_platform.dialogs().openFile(qobject_cast<QWidget*>(parent()), Filter, FileName, InitDir);
    if (self && !chosen.isEmpty())
        FileName = chosen;
}

bool runOpenCommand(Platform& platform, OpenFileDialog& dialog, PracticeText& text,
                    const OpenCommandHooks& hooks) {
    const QString previousName = text.textFileName;
    if (dialog.FileName.isEmpty())
        dialog.InitDir = startFolder(platform, text);
    const QPointer<OpenFileDialog> dialogKept(&dialog);
    dialog.ShowOpen();
    if (!dialogKept)
        return false; // the window was closed while the dialog was up
    text.textFileName = dialog.FileName;
    if (text.textFileName.isEmpty())
        return false;

    if (hooks.clearDisplay)
        hooks.clearDisplay();

    const PracticeTextReading reading = readPracticeTextFile(text.textFileName);
    const bool stored = !reading.isRefused() && text.storeLines(reading.lines);
    if (!stored)
        text.textFileName = previousName;

    if (hooks.restartLines) {
        text.linePosition = 0;
        hooks.restartLines();
    }

    // Last, so that the window is in its new state while the message box is up.
    if (!reading.message.isEmpty()) {
        const bool previousTextKept = !stored && text.hasText();
        platform.dialogs().warning(qobject_cast<QWidget*>(dialog.parent()),
                                   practiceTextMessageTitle(),
                                   messageFor(dialog.FileName, reading.message, previousTextKept));
    }
    return stored;
}

bool runEditorCommand(Platform& platform) {
    return platform.launcher().startTextEditor();
}

QString bundledTextsFolder(const AppControl& app) {
    for (const QString& folder : app.dataFolders()) {
        const QString texts = QDir(folder).filePath(QStringLiteral("texts"));
        if (QFileInfo(texts).isDir())
            return texts;
    }
    return {};
}

QString practiceTextMessageTitle() {
    return QStringLiteral("練習テキスト / Practice text");
}

} // namespace tokotoko

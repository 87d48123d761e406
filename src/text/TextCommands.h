#pragma once

// The file menu of the four text windows
// --------------------------------------
// The open command (mnuFileOpen) and the editor command (mnuFileText) behave the same in every
// text window; runOpenCommand() carries out the open command on the window's PracticeText and
// calls back into the window for the two steps that are the window's own.
//
// A window keeps one OpenFileDialog among its controls, named CommonDialog1: a child of
// client(), so it goes with the controls and each load starts with an empty FileName
// (TextWindow does this).

#include <QObject>
#include <QString>

#include <functional>

class QWidget;

namespace tokotoko {

class AppControl;
class Platform;
struct PracticeText;

// The window's Open-file dialog and what it keeps between uses while the window is loaded.
class OpenFileDialog : public QObject {
    Q_OBJECT
public:
    // "テキスト ファイル (*.txt)|*.txt|": one file type, in every text window.
    static QString practiceTextFilter();

    // `parent` is a control of the window; the dialog is shown over its window.
    OpenFileDialog(Platform& platform, QWidget* parent);

    // The name the dialog last reported: empty until a file was chosen in this load.
    QString FileName;
    QString Filter = practiceTextFilter();
    // Where the dialog starts while FileName is empty.
    QString InitDir;

    // Shows the dialog, starting from FileName (or in InitDir), and waits for it. A chosen
    // file replaces FileName; cancel keeps the name it had, so the two are not told apart.
    void ShowOpen();

private:
    Platform& m_platform;
};

// The window-specific steps of the open command.
struct OpenCommandHooks {
    // Empties the window's display box (txtHyoji). Called once a name was taken, before the
    // file is read, whether or not the reading succeeds.
    std::function<void()> clearDisplay;
    // Line-practice windows only (frmJapanese_1, frmEnglish_1): after every reading,
    // successful or refused, runOpenCommand() sets linePosition to 0 and then calls this to
    // set the window's elapsed time to zero. The timed windows leave it empty, and their
    // linePosition stays at 1 after a reading.
    std::function<void()> restartLines;
};

// The open command:
//  1. shows the dialog and takes its FileName into text.textFileName;
//  2. stops there when the name is empty (nothing chosen: the window stays as it was, except
//     that textFileName is now empty);
//  3. clears the display (hooks.clearDisplay);
//  4. reads the file: a readable text is stored (slots, linesRead, lastLineIndex, and
//     linePosition 1); a refused file leaves the store exactly as before the command,
//     previous textFileName included, so the previous text stays usable;
//  5. in the line windows, linePosition := 0 and hooks.restartLines(), in any case.
// Then any message about the file (refused, cut to 101 lines, unreadable characters) is shown
// through platform.dialogs().warning(). Returns whether a new text was stored.
bool runOpenCommand(Platform& platform, OpenFileDialog& dialog, PracticeText& text,
                    const OpenCommandHooks& hooks);

// The editor command: starts the desktop's text editor, detached, with no file. Nothing in the
// window changes. A failure is passed over in silence (nothing is lost and the learner need not
// dismiss anything); the result says whether an editor started.
bool runEditorCommand(Platform& platform);

// The folder of the practice texts shipped with the program ("texts" in the first data
// folder that has one), where the Open-file dialog starts until a file was chosen; empty
// when there is none.
QString bundledTextsFolder(const AppControl& app);

// The title of the open command's messages.
QString practiceTextMessageTitle();

} // namespace tokotoko

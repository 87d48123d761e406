#pragma once

// What the four text windows share beyond the practice text
// ---------------------------------------------------------
// The line practices (src/lines) and the timed challenges (src/timed) each come as a Japanese
// and an English window. Whatever the exercise, the two languages differ in the same few
// things, gathered here: the window's colour, the cue of a wrong line, the captions of the
// file menu, the input mode of the input box, and where presented text goes (the clipboard
// for Japanese, the speech voice for English). The display box and the file menu are built
// the same way in all four windows.

#include <QColor>
#include <QFont>
#include <QPlainTextEdit>
#include <QString>

#include <memory>

class QAction;
class QMenu;
class QMenuBar;

namespace tokotoko {

class InputBox;
class Platform;
class SpeechVoice;

enum class TextLanguage { Japanese, English };

struct TextLanguageTraits {
    TextLanguage language;
    QColor background;               // navy (Japanese) or dark red (English)
    QString wrongLineCue;            // played on a wrong line
    QString fileMenu;                // mnuFile
    QString openItem;                // mnuFileOpen (Ctrl+O)
    QString editorItem;              // mnuFileText
    QString endItem;                 // mnuEnd
    QString versionItem;             // mnuVersion, on the menu bar
    bool separatorBeforeEnd;         // mnuSeparator
    QFont (*yellowLabelFace)(qreal); // lblGyosu, lblTokuten: fixed-pitch in Japanese only
};

const TextLanguageTraits& textLanguageTraits(TextLanguage language);

// The two lines of lblKey_Guide: "Esc:RESET", CR LF, "Ctrl:REPEAT".
QString keyGuideText();

// Hands on what a window presents for the learner to read: the Japanese windows put it on the
// clipboard, the English windows speak it through their voice (asynchronously, queued behind
// what is still being spoken, never cutting it off).
class TextPresenter {
public:
    TextPresenter(Platform& platform, TextLanguage language);
    ~TextPresenter();
    TextPresenter(const TextPresenter&) = delete;
    TextPresenter& operator=(const TextPresenter&) = delete;

    // At every load of an English window: a new voice replaces the one of an earlier visit,
    // its volume at 100. Does nothing for Japanese. Without speech the window stays silent.
    void createVoice();
    // At unload: the voice handle goes with the controls (speech already queued still plays).
    void releaseVoice();
    void present(const QString& text);
    bool hasVoice() const { return m_voice != nullptr; }

private:
    Platform& m_platform;
    TextLanguage m_language;
    std::unique_ptr<SpeechVoice> m_voice;
};

// The display box txtHyoji: shows one line, wrapped anywhere so a long line stays whole,
// read-only and never focused. The line wraps before the window's right edge where the box
// reaches past it. text() gives back exactly what setText() was given (a
// QPlainTextEdit alone would turn some characters, such as CR LF, into its own).
class DisplayBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit DisplayBox(QWidget* parent);
    void setText(const QString& text);
    const QString& text() const { return m_text; }

private:
    QString m_text;
};

// The input box txtNyuryoku with its input mode: hiragana (Japanese input on while it has the
// focus) or half-width alphanumeric (plain characters, no composition).
InputBox* makeInputBox(Platform& platform, TextLanguage language, QWidget* parent);

struct FileMenu {
    QMenu* mnuFile = nullptr;
    QAction* mnuFileOpen = nullptr;
    QAction* mnuFileText = nullptr;
    QAction* mnuSeparator = nullptr; // nullptr in the English windows
    QAction* mnuEnd = nullptr;
};

// Adds the file menu to the menu bar, with Ctrl+O on mnuFileOpen; the window connects the
// actions to its handlers.
FileMenu addFileMenu(QMenuBar* menuBar, const TextLanguageTraits& traits);
// Adds mnuVersion as an item of the menu bar itself.
QAction* addVersionItem(QMenuBar* menuBar, const TextLanguageTraits& traits);

} // namespace tokotoko

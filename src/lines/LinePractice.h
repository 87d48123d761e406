#pragma once

// The line-by-line practice
// -------------------------
// The learner loads a practice text and copies it line by line: the display box (txtHyoji)
// shows one line, the learner types it into the input box (txtNyuryoku) and presses Enter. A
// line typed exactly right brings the next one; a wrong one is counted and answered with a
// cue. Typing the text's last line ends the run. Esc starts over with the same text.
//
// The Japanese and the English window (frmJapanese_1, frmEnglish_1) are this one class with a
// LinePracticeVariant each. The language decides the colour, the cue, the file menu, the
// input mode and where a shown line goes (TextLanguageTraits, TextPresenter: the clipboard for
// Japanese, the speech voice for English); the variant adds what is the line practice's own.
//
// The practice text, the start of the clock and the last line survive the closing of the
// window; the counts, labels and the lock of the input box start afresh at every load.

#include "common/FormWindow.h"
#include "text/PracticeText.h"
#include "text/TextWindowKit.h"

#include <QFont>
#include <QString>
#include <QtGlobal>

#include <optional>

class QFrame;
class QLabel;
class QTimer;

namespace tokotoko {

class CommonDialog1;
class InputBox;

// What screen readers call the controls that change during a run.
struct LinePracticeNames {
    QString display;   // txtHyoji
    QString input;     // txtNyuryoku
    QString right;     // lblMaru
    QString wrong;     // lblBatsu
    QString linesLeft; // lblGyosu
    QString time;      // lblTime
};

// What tells the two line practices apart beyond their language.
struct LinePracticeVariant {
    QString formName;
    QString caption;
    TextLanguage language;
    QString endText;           // shown, and presented, when the run is over
    QFont (*gyosuFont)(qreal); // the face of lblGyosu
    LinePracticeNames names;
};

extern const LinePracticeVariant kJapaneseLinePractice;
extern const LinePracticeVariant kEnglishLinePractice;

class LinePractice : public FormWindow {
    Q_OBJECT
public:
    LinePractice(Platform& platform, const LinePracticeVariant& variant);
    ~LinePractice() override;

    // "nn分ss秒": minutes and seconds of a span; whole hours are not shown.
    static QString elapsedText(qint64 seconds);

    const LinePracticeVariant& variant() const { return m_variant; }
    const PracticeText& practiceText() const { return m_text; }
    qint16 rightCount() const { return m_rightCount; }
    qint16 wrongCount() const { return m_wrongCount; }
    // Time of day (seconds since midnight) when slot 0's line was last put on display.
    int startTime() const { return m_startTime; }
    qint64 elapsedSeconds() const { return m_elapsedSeconds; }
    const QString& lastLine() const { return m_lastLine; }

    void Form_Load() override;
    void Form_Resize() override;
    void Form_KeyDown(int keyCode, int shift) override;
    void Timer1_Timer();
    void mnuFileOpen_Click();
    void mnuFileText_Click();
    void mnuEnd_Click();
    void mnuVersion_Click();

protected:
    void createControls() override;
    void Control_KeyPress(QWidget* control, int& keyAscii) override;
    void Form_Unload() override;

private:
    void createMenus();
    void createLabels();
    void txtNyuryoku_KeyPress(int& keyAscii);

    void pressEnter();
    void repeatLine();
    void resetRun();
    void judgeLine();
    void countWrong();
    void advance();
    void finishRun();
    void markStart();
    void startTimer();
    bool displayShows(const QString& text) const;
    QString inputText() const;

    const LinePracticeVariant& m_variant;
    const TextLanguageTraits& m_traits;
    TextPresenter m_presenter;

    PracticeText m_text;
    qint16 m_rightCount = 0;
    qint16 m_wrongCount = 0;
    int m_startTime = 0;
    int m_tickTime = 0;
    // The span is measured on the monotonic clock, so a run across midnight is timed right;
    // no start is known after Esc until slot 0's line is shown again.
    std::optional<qint64> m_startMs;
    qint64 m_elapsedSeconds = 0;
    QString m_lastLine;

    QFrame* Frame1 = nullptr;
    DisplayBox* txtHyoji = nullptr;
    InputBox* txtNyuryoku = nullptr;
    QLabel* lblTime = nullptr;
    QLabel* lblMaru = nullptr;
    QLabel* lblBatsu = nullptr;
    QLabel* lblGyosu = nullptr;
    QLabel* lblKey_Guide = nullptr;
    QTimer* Timer1 = nullptr;
    // The Open-file dialog, object name CommonDialog1 (the type's name).
    CommonDialog1* m_commonDialog = nullptr;
};

} // namespace tokotoko

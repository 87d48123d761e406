#pragma once

// The line-by-line practice
// -------------------------
// The learner copies a practice text line by line: a line typed exactly right brings the next
// one; a wrong one is counted and answered with a cue. Typing the text's last line ends the
// run. Esc starts over with the same text. The clock counts up from the moment the text's
// first line is shown.
//
// The Japanese and the English window (frmJapanese_1, frmEnglish_1) are this one class with a
// LinePracticeVariant each; what the two languages change everywhere is their
// TextLanguageTraits, what every text window shares is TextWindow.
//
// The practice text, the start of the clock and the last line survive the closing of the
// window; the counts, labels and the lock of the input box start afresh at every load.

#include "text/TextWindow.h"

#include <QString>
#include <QtGlobal>

#include <optional>

class QLabel;

namespace tokotoko {

// What tells the two line practices apart beyond their language.
struct LinePracticeVariant {
    QString formName;
    QString caption;
    TextLanguage language;
    QString endText; // shown, and presented, when the run is over
    TextWindowNames names;
    QString linesLeftName; // lblGyosu, for screen readers
};

extern const LinePracticeVariant kJapaneseLinePractice;
extern const LinePracticeVariant kEnglishLinePractice;

class LinePractice : public TextWindow {
    Q_OBJECT
public:
    LinePractice(Platform& platform, const LinePracticeVariant& variant);
    ~LinePractice() override;

    // "nn分ss秒": minutes and seconds of a span; whole hours are not shown.
    static QString elapsedText(qint64 seconds);

    const LinePracticeVariant& variant() const { return m_variant; }
    // Time of day (seconds since midnight) when slot 0's line was last put on display.
    int startTime() const { return m_startTime; }
    qint64 elapsedSeconds() const { return m_elapsedSeconds; }
    const QString& lastLine() const { return m_lastLine; }

    void Form_KeyDown(int keyCode, int shift) override;
    void Timer1_Timer() override;

protected:
    void createOwnControls() override;
    void loadExercise() override;
    void placeOwnControls(const LayoutUnits& u) override;
    std::function<void()> restartLinesAfterOpen() override;

private:
    void pressEnter();
    void repeatLine();
    void resetRun();
    void judgeLine();
    void advance();
    void finishRun();
    void markStart();
    qint64 runMs() const;
    void startTimer();
    bool displayShows(const QString& text) const;
    QString inputText() const;

    const LinePracticeVariant& m_variant;
    int m_startTime = 0;
    int m_tickTime = 0;
    // The span is measured on the monotonic clock, so a run across midnight is timed right;
    // no start is known after Esc until slot 0's line is shown again.
    std::optional<qint64> m_startMs;
    // Whether this run's clock has started since the window was loaded or reset: an earlier
    // visit's start times no run of this one.
    bool m_runStarted = false;
    qint64 m_elapsedSeconds = 0;
    QString m_lastLine;

    QLabel* lblGyosu = nullptr;
};

} // namespace tokotoko

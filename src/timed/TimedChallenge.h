#pragma once

// The timed text challenges
// -------------------------
// frmJapanese and frmEnglish are one game: lines of the learner's practice text are drawn at
// random and typed against a clock of one, three or five minutes; each Enter judges the typed
// line exactly against the shown one, and the score is right lines minus wrong lines. What
// the two windows do differently is a TimedVariant (texts and titles) and their
// TextLanguageTraits; what every text window shares is TextWindow.
//
// The window's state (the counts, the clock, the time limit) is set afresh at every load;
// its PracticeText outlives unloading, so a window opened again still has its text.
//
// The starting Enter: before the first line of a game the display is empty, and an Enter on
// the empty input box matches it. It counts as right and draws the first line, so the right
// lines shown and scored are one less than the right Enters counted.

#include "common/Layout.h"
#include "text/TextWindow.h"

#include <QString>
#include <QtGlobal>

#include <array>

class QLabel;

namespace tokotoko {

class Shape;

// The three time choices of the settings menu: mnu1M, mnu3M and mnu5M.
inline constexpr int kTimeChoiceCount = 3;
inline constexpr std::array<qint16, kTimeChoiceCount> kTimeLimits{60, 180, 300};
// The choice a window starts with: three minutes.
inline constexpr int kDefaultTimeChoice = 1;

struct TimeChoiceText {
    QString caption; // the menu item
    QString title;   // the window title once it is chosen
};

// What tells the two timed challenges apart, beside their TextLanguage.
struct TimedVariant {
    QString formName;
    TextLanguage language;
    QString loadTitle;    // the title before any time choice
    QString settingsMenu; // mnuSettei
    std::array<TimeChoiceText, kTimeChoiceCount> timeChoices;
    QString endText;   // txtHyoji at the end of a game
    QString scoreWord; // lblTokuten: this word, then the score
    TextWindowNames names;
    QString scoreName; // lblTokuten, for screen readers
};

extern const TimedVariant kJapaneseTimedChallenge;
extern const TimedVariant kEnglishTimedChallenge;

// The right lines of a count of right Enters: the starting Enter is not a line. Never below
// zero, even when no Enter of a game matched.
int rightLines(qint16 rightCount);
// The slot a uniform r in [0, 1) draws among slots 0 to lastLineIndex, each with equal
// chance; always within them.
qint16 drawnSlot(float r, qint16 lastLineIndex);
// The bar's length for the seconds left: the division first, in floating point, handed on in
// single precision.
float barWidth(float boxWidth, qint16 timeLimit, qint16 secondsLeft);

class TimedChallenge : public TextWindow {
    Q_OBJECT
public:
    TimedChallenge(Platform& platform, const TimedVariant& variant);
    ~TimedChallenge() override;

    const TimedVariant& variant() const { return m_variant; }
    qint16 timeLimit() const { return m_timeLimit; }
    qint16 secondsLeft() const { return m_secondsLeft; }
    bool clockRunning() const;

    void Form_KeyDown(int keyCode, int shift) override;
    void Timer1_Timer() override;
    void mnu1M_Click();
    void mnu3M_Click();
    void mnu5M_Click();

protected:
    void createOwnControls() override;
    void createOwnMenus() override;
    void loadExercise() override;
    void placeOwnControls(const LayoutUnits& u) override;

private:
    void judgeLine();
    void drawLine();
    void showLine(qint16 slot);
    void repeatLine();
    void resetGame();
    void endGame();
    void chooseTime(int choice);
    void showTimeLeft();
    void showBarLength(float width);

    const TimedVariant& m_variant;
    qint16 m_timeLimit = kTimeLimits[kDefaultTimeChoice];
    qint16 m_secondsLeft = kTimeLimits[kDefaultTimeChoice];
    // The bar's place as the layout set it, in twips: ticks change only its width.
    TwipsRect m_barPlace;

    QLabel* lblTokuten = nullptr;
    Shape* shpBox = nullptr;
    Shape* shpScale = nullptr;
};

} // namespace tokotoko

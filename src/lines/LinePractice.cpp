#include "LinePractice.h"

#include "common/Controls.h"
#include "drawing/InputBox.h"
#include "platform/KeyTranslation.h"
#include "platform/Platform.h"

#include <QLabel>
#include <QTimer>

namespace tokotoko {

const LinePracticeVariant kJapaneseLinePractice{
    QStringLiteral("frmJapanese_1"),
    QStringLiteral("応用日本語入力　１"),
    TextLanguage::Japanese,
    QStringLiteral("おしまい RESET"),
    {
        QStringLiteral("お手本の行"),
        QStringLiteral("入力"),
        QStringLiteral("経過時間"),
        QStringLiteral("正しく打てた行の数"),
        QStringLiteral("まちがえた回数"),
    },
    QStringLiteral("残りの行の数"),
};

const LinePracticeVariant kEnglishLinePractice{
    QStringLiteral("frmEnglish_1"),
    QStringLiteral("ENGLISH Three Minute"),
    TextLanguage::English,
    QStringLiteral("GAME OVER. RESET"),
    {
        QStringLiteral("Line to type"),
        QStringLiteral("Your typing"),
        QStringLiteral("Time"),
        QStringLiteral("Lines typed right"),
        QStringLiteral("Wrong lines"),
    },
    QStringLiteral("Lines still to type"),
};

namespace {

QString linesLeftText(int count) {
    return QStringLiteral("練習数") + QString::number(count);
}

QString zeroTime() {
    return LinePractice::elapsedText(0);
}

} // namespace

LinePractice::LinePractice(Platform& platform, const LinePracticeVariant& variant)
    : TextWindow(platform, variant.language, variant.formName, variant.caption, variant.names)
    , m_variant(variant) {}

LinePractice::~LinePractice() = default;

QString LinePractice::elapsedText(qint64 seconds) {
    const qint64 minutes = (seconds / 60) % 60;
    return QStringLiteral("%1分%2秒")
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

void LinePractice::createOwnControls() {
    lblGyosu = makeYellowLabel(QStringLiteral("lblGyosu"), m_variant.linesLeftName);
}

void LinePractice::loadExercise() {
    setCaption(lblTime, zeroTime());
    // A window opened again starts its text from the first line: the lines-left count and the
    // clock both count from there.
    m_text.linePosition = 0;
    m_runStarted = false;
}

void LinePractice::placeOwnControls(const LayoutUnits& u) {
    placeYellowLabel(lblGyosu, u);
}

std::function<void()> LinePractice::restartLinesAfterOpen() {
    return [this] { m_elapsedSeconds = 0; };
}

void LinePractice::Form_KeyDown(int keyCode, int) {
    m_lastLine = m_text.lastLine();
    switch (keyCode) {
    case vk::Enter:
        pressEnter();
        break;
    case vk::Ctrl:
        repeatLine();
        break;
    case vk::Escape:
        resetRun();
        break;
    default:
        break;
    }
}

// Judging happens here, on the key press of Enter only. The Enter that confirms a conversion
// never arrives as a key press, so it never judges the half-converted line.
void LinePractice::pressEnter() {
    if (!m_text.hasText())
        return;
    if (displayShows(m_text.lineSlots[0]))
        startTimer();
    if (inputText() == m_lastLine) {
        finishRun();
        return;
    }
    judgeLine();
}

void LinePractice::repeatLine() {
    present(txtHyoji->text());
}

void LinePractice::resetRun() {
    m_text.linePosition = 0;
    setCaption(lblTime, zeroTime());
    txtHyoji->setText(QString());
    txtNyuryoku->setReadOnly(false);
    txtNyuryoku->clear();
    resetCounts();
    m_startTime = 0;
    m_startMs.reset();
    m_runStarted = false;
    m_tickTime = 0;
    m_elapsedSeconds = 0;
    Timer1->stop();
    setCaption(lblGyosu, QString());
}

// Whole and exact: code unit by code unit, nothing trimmed; case, width and kana against
// kanji all count.
void LinePractice::judgeLine() {
    if (inputText() != txtHyoji->text()) {
        countWrongLine();
        return;
    }
    countRightLine();
    showRightLines(m_rightCount - 1);
    advance();
}

void LinePractice::advance() {
    txtNyuryoku->clear();
    const QString& line = m_text.lineSlots[static_cast<std::size_t>(m_text.linePosition)];
    txtHyoji->setText(line);
    present(line);
    ++m_text.linePosition;
    if (m_text.linePosition == m_text.linesRead)
        m_text.linePosition = 0;
    if (displayShows(m_text.lineSlots[0]))
        markStart();
    setCaption(lblGyosu, linesLeftText(m_text.lastLineIndex + 2 - m_rightCount));
}

// The time shown is that of the last tick; the timer itself stops at its next tick.
void LinePractice::finishRun() {
    // A run that ends again keeps its results: its last line is counted once.
    if (!hasResults())
        countFinishingLine(m_lastLine);
    txtHyoji->setText(m_variant.endText);
    present(m_variant.endText);
    setCaption(lblTime, elapsedText(m_elapsedSeconds));
    platform().clipboard().setText(lblTime->text());
    announce(lblTime->text());
    setCaption(lblGyosu, linesLeftText(0));
    txtNyuryoku->setReadOnly(true);
    showRightLines(m_rightCount);
    showResults(runMs());
}

void LinePractice::markStart() {
    m_startTime = platform().clock().timeOfDay();
    m_startMs = platform().clock().monotonicMs();
    m_runStarted = true;
}

// The results' minutes: the run's clock read at the Enter that ends it, to the millisecond
// (lblTime shows whole seconds, as of the last tick). None for a run that never showed slot
// 0's line.
qint64 LinePractice::runMs() const {
    if (!m_runStarted || !m_startMs)
        return 0;
    return platform().clock().monotonicMs() - *m_startMs;
}

// Enabling a running timer leaves its rhythm alone.
void LinePractice::startTimer() {
    if (!Timer1->isActive())
        Timer1->start();
}

void LinePractice::Timer1_Timer() {
    if (!isLoaded())
        return;
    m_tickTime = platform().clock().timeOfDay();
    m_elapsedSeconds = m_startMs ? (platform().clock().monotonicMs() - *m_startMs) / 1000 : 0;
    setCaption(lblTime, elapsedText(m_elapsedSeconds));
    if (inputText() == m_lastLine)
        Timer1->stop();
    if (displayShows(m_variant.endText))
        Timer1->stop();
    if (!m_text.hasText())
        Timer1->stop();
}

bool LinePractice::displayShows(const QString& text) const {
    return txtHyoji->text() == text;
}

QString LinePractice::inputText() const {
    return txtNyuryoku->text();
}

} // namespace tokotoko

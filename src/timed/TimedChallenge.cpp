#include "TimedChallenge.h"

#include "common/Controls.h"
#include "drawing/InputBox.h"
#include "platform/KeyTranslation.h"
#include "platform/Platform.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <limits>

namespace tokotoko {

const TimedVariant kJapaneseTimedChallenge{
    QStringLiteral("frmJapanese"),
    TextLanguage::Japanese,
    QStringLiteral("応用日本語入力　３分"),
    QStringLiteral("設定(&S)"),
    {{
        {QStringLiteral("1分間"), QStringLiteral("応用日本語入力　１分")},
        {QStringLiteral("3分間"), QStringLiteral("応用日本語入力　３分")},
        {QStringLiteral("5分間"), QStringLiteral("応用日本語入力　５分")},
    }},
    QStringLiteral("おしまい  RESET!"),
    QStringLiteral("得点 "),
    {QStringLiteral("打つ行"), QStringLiteral("入力"), QStringLiteral("残り時間"),
     QStringLiteral("正しく打った行"), QStringLiteral("まちがえた行")},
    QStringLiteral("得点"),
};

const TimedVariant kEnglishTimedChallenge{
    QStringLiteral("frmEnglish"),
    TextLanguage::English,
    QStringLiteral("ENGLISH Three Minute"),
    QStringLiteral("Setting(&S)"),
    {{
        {QStringLiteral("One Minute"), QStringLiteral("ENGLISH One Minute")},
        {QStringLiteral("Three Minutes"), QStringLiteral("ENGLISH Three Minutes")},
        {QStringLiteral("Five Minutes"), QStringLiteral("ENGLISH Five Minutes")},
    }},
    QStringLiteral("GAME OVER.  RESET!"),
    QStringLiteral("SCORE "),
    {QStringLiteral("Line to type"), QStringLiteral("Your line"), QStringLiteral("Time left"),
     QStringLiteral("Right lines"), QStringLiteral("Wrong lines")},
    QStringLiteral("Score"),
};

namespace {

// The bar's colour for each time choice: red, blue, green.
const std::array<QColor, kTimeChoiceCount> kBarColors{colors::red, colors::blue, colors::green};

} // namespace

int rightLines(qint16 rightCount) {
    return std::max(0, rightCount - 1);
}

qint16 drawnSlot(float r, qint16 lastLineIndex) {
    if (lastLineIndex <= 0)
        return 0;
    const auto slot = static_cast<int>(std::trunc((lastLineIndex + 1) * static_cast<double>(r)));
    return static_cast<qint16>(std::clamp(slot, 0, static_cast<int>(lastLineIndex)));
}

float barWidth(float boxWidth, qint16 timeLimit, qint16 secondsLeft) {
    if (timeLimit <= 0)
        return 0.0f;
    const double perSecond = static_cast<double>(boxWidth) / timeLimit;
    return static_cast<float>(perSecond * secondsLeft);
}

TimedChallenge::TimedChallenge(Platform& platform, const TimedVariant& variant)
    : TextWindow(platform, variant.language, variant.formName, variant.loadTitle, variant.names)
    , m_variant(variant) {}

TimedChallenge::~TimedChallenge() = default;

bool TimedChallenge::clockRunning() const {
    return isLoaded() && Timer1 && Timer1->isActive();
}

// The score below the counts, and the bar over the box, both over the lower edge of the band.
void TimedChallenge::createOwnControls() {
    lblTokuten = makeYellowLabel(QStringLiteral("lblTokuten"), m_variant.scoreName);
    shpBox = new Shape(client(), QStringLiteral("shpBox"), colors::white);
    shpScale = new Shape(client(), QStringLiteral("shpScale"), kBarColors[kDefaultTimeChoice]);
}

void TimedChallenge::createOwnMenus() {
    QMenu* mnuSettei = formMenuBar()->addMenu(m_variant.settingsMenu);
    mnuSettei->setObjectName(QStringLiteral("mnuSettei"));
    static constexpr std::array<const char*, kTimeChoiceCount> names{"mnu1M", "mnu3M", "mnu5M"};
    const std::array<void (TimedChallenge::*)(), kTimeChoiceCount> handlers{
        &TimedChallenge::mnu1M_Click, &TimedChallenge::mnu3M_Click, &TimedChallenge::mnu5M_Click};
    for (std::size_t i = 0; i < names.size(); ++i) {
        QAction* item = mnuSettei->addAction(m_variant.timeChoices[i].caption);
        item->setObjectName(QString::fromLatin1(names[i]));
        connect(item, &QAction::triggered, this, handlers[i]);
    }
}

void TimedChallenge::loadExercise() {
    m_secondsLeft = kTimeLimits[kDefaultTimeChoice];
    m_timeLimit = kTimeLimits[kDefaultTimeChoice];
    showTimeLeft();
    lblTokuten->hide();
}

void TimedChallenge::Form_KeyDown(int keyCode, int) {
    switch (keyCode) {
    case vk::Enter:
        if (!m_text.hasText())
            return;
        // Starting an active QTimer would restart its second: keep the clock's rhythm.
        if (!Timer1->isActive())
            Timer1->start();
        if (m_secondsLeft <= 0) {
            Timer1->stop(); // the game is over: Enter judges nothing
            return;
        }
        judgeLine();
        break;
    case vk::Ctrl:
        repeatLine();
        break;
    case vk::Escape:
        resetGame();
        break;
    default:
        break;
    }
}

// Exact: code unit by code unit, so case, width and every kind of space count.
void TimedChallenge::judgeLine() {
    if (txtHyoji->text() != txtNyuryoku->text()) {
        countWrongLine();
        return;
    }
    countRightLine();
    showRightLines(rightLines(m_rightCount));
    txtNyuryoku->clear();
    drawLine();
}

// Every draw is independent: the same line may come again, even twice in a row.
void TimedChallenge::drawLine() {
    const float r = platform().clock().reseededRandom();
    m_text.linePosition = drawnSlot(r, m_text.lastLineIndex);
    showLine(m_text.linePosition);
}

void TimedChallenge::showLine(qint16 slot) {
    txtHyoji->setText(m_text.lineSlots[static_cast<std::size_t>(slot)]);
    present(txtHyoji->text());
}

// Ctrl shows the current line again, in every state. After reading a one-line text the
// position (1) lies past the text: its only line is shown rather than a line left over from
// an earlier, longer text.
void TimedChallenge::repeatLine() {
    const qint16 last = std::max<qint16>(m_text.lastLineIndex, 0);
    const qint16 position = m_text.linePosition;
    showLine(position >= 0 && position <= last ? position : qint16(0));
}

// Escape: a clean game with the same text, time limit, bar colour and title.
void TimedChallenge::resetGame() {
    txtHyoji->setText(QString());
    txtNyuryoku->setReadOnly(false);
    txtNyuryoku->clear();
    resetCounts();
    lblTokuten->hide();
    m_secondsLeft = m_timeLimit;
    showBarLength(m_barPlace.width);
    Timer1->stop();
    showTimeLeft();
}

void TimedChallenge::Timer1_Timer() {
    if (m_secondsLeft <= 0)
        return; // an ended game has no time to lose
    m_secondsLeft = static_cast<qint16>(m_secondsLeft - 1);
    showTimeLeft();
    if (!m_text.hasText())
        Timer1->stop();
    if (m_secondsLeft == 0)
        endGame();
    showBarLength(barWidth(m_barPlace.width, m_timeLimit, m_secondsLeft));
}

void TimedChallenge::endGame() {
    Timer1->stop();
    txtNyuryoku->setReadOnly(true);
    txtHyoji->setText(m_variant.endText);
    present(txtHyoji->text());
    lblTokuten->show();
    const int score = rightLines(m_rightCount) - m_wrongCount;
    setCaption(lblTokuten, m_variant.scoreWord + QString::number(score));
    present(lblTokuten->text());
    // The game's minutes are its time limit: it ends only when the limit has run out.
    showResults(qint64{m_timeLimit} * 1000);
}

void TimedChallenge::mnu1M_Click() {
    chooseTime(0);
}

void TimedChallenge::mnu3M_Click() {
    chooseTime(1);
}

void TimedChallenge::mnu5M_Click() {
    chooseTime(2);
}

// The count-down starts again from the new limit, running or not; the counts, the display
// and the lock stay, and the bar takes its new length at the next tick.
void TimedChallenge::chooseTime(int choice) {
    const auto index = static_cast<std::size_t>(choice);
    m_timeLimit = kTimeLimits[index];
    m_secondsLeft = kTimeLimits[index];
    shpScale->setFillColor(kBarColors[index]);
    showTimeLeft();
    setWindowTitle(m_variant.timeChoices[index].title);
}

void TimedChallenge::showTimeLeft() {
    setCaption(lblTime, QStringLiteral("TIME ") + QString::number(m_secondsLeft));
}

void TimedChallenge::showBarLength(float width) {
    place(shpScale, m_barPlace.height, width, m_barPlace.top, m_barPlace.left);
}

void TimedChallenge::placeOwnControls(const LayoutUnits& u) {
    placeYellowLabel(lblTokuten, u);
    m_barPlace = {scaled(u.h, 0.1), static_cast<float>(innerWidthTwips()), scaled(u.h, 3.4), 0};
    // The layout draws the bar at full length; the next tick gives it the time left.
    showBarLength(m_barPlace.width);
    place(shpBox, m_barPlace.height, m_barPlace.width, m_barPlace.top, m_barPlace.left);
}

} // namespace tokotoko

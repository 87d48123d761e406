#include "TimedChallenge.h"

#include "common/Controls.h"
#include "common/Fonts.h"
#include "platform/InputBox.h"
#include "platform/KeyTranslation.h"
#include "platform/Platform.h"
#include "text/TextCommands.h"

#include <QAction>
#include <QEvent>
#include <QFrame>
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
    true,
    {QStringLiteral("打つ行"), QStringLiteral("入力"), QStringLiteral("残り時間"),
     QStringLiteral("正しく打った行"), QStringLiteral("まちがえた行"), QStringLiteral("得点")},
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
    false,
    {QStringLiteral("Line to type"), QStringLiteral("Your line"), QStringLiteral("Time left"),
     QStringLiteral("Right lines"), QStringLiteral("Wrong lines"), QStringLiteral("Score")},
};

namespace {

// The bar's colour for each time choice: red, blue, green.
const std::array<QColor, kTimeChoiceCount> kBarColors{colors::red, colors::blue, colors::green};

const QString kRightMark = QStringLiteral("○ ");
const QString kWrongMark = QStringLiteral("×");

// A count after one more: 16-bit, it stays at 32767 instead of wrapping round.
qint16 addOne(qint16 count) {
    return count < std::numeric_limits<qint16>::max() ? static_cast<qint16>(count + 1) : count;
}

// "×" and a count read as the mark, a space and the number; a negative number brings its
// own sign instead of the space.
QString wrongText(qint16 count) {
    const QString number = QString::number(count);
    return kWrongMark + (count >= 0 ? QLatin1Char(' ') + number : number);
}

// Sets a label's text and tells assistive technology about it (a label with an accessible
// name no longer reports its text by itself).
void setCaption(QLabel* label, const QString& text) {
    label->setText(text);
    label->setAccessibleDescription(text);
}

QLabel* makeGameLabel(QWidget* parent, const char* name, const QString& accessibleName,
                      const QFont& font, const QColor& color) {
    QLabel* label =
        makeLabel(parent, QString::fromLatin1(name), font, color, Qt::AlignLeft | Qt::AlignVCenter);
    label->setAccessibleName(accessibleName);
    return label;
}

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
    : FormWindow(platform)
    , m_variant(variant)
    , m_traits(textLanguageTraits(variant.language))
    , m_presenter(platform, variant.language) {
    setObjectName(variant.formName);
}

TimedChallenge::~TimedChallenge() = default;

bool TimedChallenge::clockRunning() const {
    return isLoaded() && Timer1 && Timer1->isActive();
}

void TimedChallenge::createControls() {
    setWindowTitle(m_variant.loadTitle);
    setColors(client(), colors::white, m_traits.background, true);
    setKeyPreview(true);

    createTextBoxes();
    createLabels();
    createTimeBar();

    Timer1 = new QTimer(client());
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TimedChallenge::Timer1_Timer);

    commonDialog1 = new CommonDialog1(platform(), client());
    createMenus();
}

// The display box sits in a black band across the top; the input box lies over the band's
// lower half, so it is made after the band.
void TimedChallenge::createTextBoxes() {
    Frame1 = new QFrame(client());
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::NoFrame);
    setColors(Frame1, colors::white, colors::black, true);

    txtHyoji = new DisplayBox(Frame1);
    txtHyoji->setObjectName(QStringLiteral("txtHyoji"));
    txtHyoji->setAccessibleName(m_variant.accessibleNames.display);
    txtHyoji->setFont(pGothic(80.25));
    txtHyoji->setFrameShape(QFrame::NoFrame);
    setColors(txtHyoji, colors::white, colors::black, true);

    txtNyuryoku = makeInputBox(platform(), m_variant.language, client());
    txtNyuryoku->setObjectName(QStringLiteral("txtNyuryoku"));
    txtNyuryoku->setAccessibleName(m_variant.accessibleNames.input);
    txtNyuryoku->setFont(pGothic(80.25));
    txtNyuryoku->setContextMenuPolicy(Qt::NoContextMenu);
    setColors(txtNyuryoku, colors::yellow, colors::black, true);
}

void TimedChallenge::createLabels() {
    const TimedAccessibleNames& names = m_variant.accessibleNames;
    lblTime = makeGameLabel(client(), "lblTime", names.time, gothic(60), colors::white);
    lblMaru = makeGameLabel(client(), "lblMaru", names.right, gothic(60), colors::white);
    lblBatsu = makeGameLabel(client(), "lblBatsu", names.wrong, gothic(60), colors::white);
    lblTokuten =
        makeGameLabel(client(), "lblTokuten", names.score,
                      m_variant.fixedPitchScore ? gothic(60) : pGothic(60), colors::yellow);
    lblKey_Guide = makeLabel(client(), QStringLiteral("lblKey_Guide"), pGothic(27.75),
                             colors::green, Qt::AlignLeft | Qt::AlignVCenter);
}

// The bar is drawn over the box, and both over the lower edge of the band.
void TimedChallenge::createTimeBar() {
    shpBox = new Shape(client(), QStringLiteral("shpBox"), colors::white);
    shpScale = new Shape(client(), QStringLiteral("shpScale"), kBarColors[kDefaultTimeChoice]);
}

void TimedChallenge::createMenus() {
    const FileMenu file = addFileMenu(formMenuBar(), m_traits);
    connect(file.mnuFileOpen, &QAction::triggered, this, &TimedChallenge::mnuFileOpen_Click);
    connect(file.mnuFileText, &QAction::triggered, this, &TimedChallenge::mnuFileText_Click);
    connect(file.mnuEnd, &QAction::triggered, this, &TimedChallenge::mnuEnd_Click);

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

    QAction* mnuVersion = addVersionItem(formMenuBar(), m_traits);
    connect(mnuVersion, &QAction::triggered, this, &TimedChallenge::mnuVersion_Click);
}

void TimedChallenge::Form_Load() {
    placeFullScreen();
    m_presenter.createVoice();
    m_rightCount = 0;
    m_wrongCount = 0;
    m_secondsLeft = kTimeLimits[kDefaultTimeChoice];
    m_timeLimit = kTimeLimits[kDefaultTimeChoice];
    showTimeLeft();
    setCaption(lblMaru, kRightMark + QStringLiteral("0"));
    setCaption(lblBatsu, wrongText(0));
    // The label shows line feeds; keyGuideText() is what it stands for.
    lblKey_Guide->setText(keyGuideText().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    lblTokuten->hide();
    setColors(txtNyuryoku, colors::yellow, colors::black, true);
    setColors(txtHyoji, colors::white, colors::black, true);
    Timer1->stop();
    if (m_variant.language == TextLanguage::English)
        platform().inputMethod().useAlphanumeric(*txtNyuryoku);
    focusControl(txtNyuryoku);
}

void TimedChallenge::Form_Unload() {
    m_presenter.releaseVoice();
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

void TimedChallenge::Control_KeyPress(QWidget* control, int& keyAscii) {
    if (control == txtNyuryoku)
        txtNyuryoku_KeyPress(keyAscii);
}

// A locked input box refuses typed keys by itself, but a QLineEdit still takes text that an
// input method commits: after the end of a game that text is refused here.
bool TimedChallenge::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::InputMethod && isLoaded() && watched == txtNyuryoku &&
        txtNyuryoku->isReadOnly()) {
        event->accept();
        return true;
    }
    return FormWindow::eventFilter(watched, event);
}

// Enter judges the line; it never becomes part of it.
void TimedChallenge::txtNyuryoku_KeyPress(int& keyAscii) {
    if (keyAscii == '\r')
        keyAscii = 0;
}

// Exact: code unit by code unit, so case, width and every kind of space count.
void TimedChallenge::judgeLine() {
    if (txtHyoji->text() == txtNyuryoku->text()) {
        m_rightCount = addOne(m_rightCount);
        setCaption(lblMaru, kRightMark + QString::number(rightLines(m_rightCount)));
        txtNyuryoku->clear();
        drawLine();
    } else {
        m_wrongCount = addOne(m_wrongCount);
        setCaption(lblBatsu, wrongText(m_wrongCount));
        platform().sound().play(m_traits.wrongLineCue);
    }
}

// Every draw is independent: the same line may come again, even twice in a row.
void TimedChallenge::drawLine() {
    const float r = platform().clock().reseededRandom();
    m_text.linePosition = drawnSlot(r, m_text.lastLineIndex);
    showLine(m_text.linePosition);
}

void TimedChallenge::showLine(qint16 slot) {
    txtHyoji->setText(m_text.lineSlots[static_cast<std::size_t>(slot)]);
    m_presenter.present(txtHyoji->text());
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
    setCaption(lblMaru, kRightMark + QStringLiteral("0"));
    m_rightCount = 0;
    setCaption(lblBatsu, wrongText(0));
    m_wrongCount = 0;
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
    m_presenter.present(txtHyoji->text());
    lblTokuten->show();
    const int score = rightLines(m_rightCount) - m_wrongCount;
    setCaption(lblTokuten, m_variant.scoreWord + QString::number(score));
    m_presenter.present(lblTokuten->text());
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

// Both text boxes are w wide from 0.05 w, so they reach a little past the right edge: the
// display box is cut off by the band, the input box by the window.
void TimedChallenge::Form_Resize() {
    const LayoutUnits u = units();
    const auto w = static_cast<float>(u.w);
    const auto innerWidth = static_cast<float>(innerWidthTwips());
    const double outerWidth = outerWidthTwips();
    const auto ofOuter = [outerWidth](double factor) {
        return static_cast<float>(factor * outerWidth);
    };

    place(txtHyoji, scaled(u.h, 1.5), w, scaled(u.h, 0.2), scaled(u.w, 0.05));
    place(txtNyuryoku, scaled(u.h, 1.5), w, scaled(u.h, 1.8), scaled(u.w, 0.05));
    place(lblTime, scaled(u.h, 0.6), ofOuter(0.35), scaled(u.h, 3.5), scaled(u.w, 0.02));
    place(lblMaru, scaled(u.h, 0.6), ofOuter(0.25), scaled(u.h, 3.5), scaled(u.w, 0.4));
    place(lblBatsu, scaled(u.h, 0.6), ofOuter(0.25), scaled(u.h, 4.2), scaled(u.w, 0.4));
    place(lblTokuten, scaled(u.h, 0.6), ofOuter(0.35), scaled(u.h, 3.5), scaled(u.w, 0.65));
    place(Frame1, scaled(u.h, 3.4), innerWidth, scaled(u.h, 0.01), 0);
    m_barPlace = {scaled(u.h, 0.1), innerWidth, scaled(u.h, 3.4), 0};
    // The layout draws the bar at full length; the next tick gives it the time left.
    showBarLength(m_barPlace.width);
    place(shpBox, m_barPlace.height, m_barPlace.width, m_barPlace.top, m_barPlace.left);
    place(lblKey_Guide, scaled(u.h, 0.6), ofOuter(0.35), scaled(u.h, 4.2), scaled(u.w, 0.02));
}

void TimedChallenge::mnuFileOpen_Click() {
    OpenCommandHooks hooks;
    hooks.clearDisplay = [this] {
        if (isLoaded())
            txtHyoji->setText(QString());
    };
    // No restartLines: after a reading the position stays at 1.
    runOpenCommand(platform(), *commonDialog1, m_text, hooks);
}

void TimedChallenge::mnuFileText_Click() {
    runEditorCommand(platform());
}

void TimedChallenge::mnuEnd_Click() {
    unload();
}

void TimedChallenge::mnuVersion_Click() {
    showVersionBox();
}

} // namespace tokotoko

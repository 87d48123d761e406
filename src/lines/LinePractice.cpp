#include "LinePractice.h"

#include "common/Controls.h"
#include "common/Fonts.h"
#include "platform/InputBox.h"
#include "platform/KeyTranslation.h"
#include "platform/Platform.h"
#include "text/TextCommands.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QTimer>

#include <limits>

namespace tokotoko {

const LinePracticeVariant kJapaneseLinePractice{
    QStringLiteral("frmJapanese_1"),
    QStringLiteral("応用日本語入力　１"),
    TextLanguage::Japanese,
    QStringLiteral("おしまい RESET"),
    &gothic,
    {
        QStringLiteral("お手本の行"),
        QStringLiteral("入力"),
        QStringLiteral("正しく打てた行の数"),
        QStringLiteral("まちがえた回数"),
        QStringLiteral("残りの行の数"),
        QStringLiteral("経過時間"),
    },
};

const LinePracticeVariant kEnglishLinePractice{
    QStringLiteral("frmEnglish_1"),
    QStringLiteral("ENGLISH Three Minute"),
    TextLanguage::English,
    QStringLiteral("GAME OVER. RESET"),
    &pGothic,
    {
        QStringLiteral("Line to type"),
        QStringLiteral("Your typing"),
        QStringLiteral("Lines typed right"),
        QStringLiteral("Wrong lines"),
        QStringLiteral("Lines still to type"),
        QStringLiteral("Time"),
    },
};

namespace {

constexpr int kTimerIntervalMs = 1000;
constexpr qreal kBoxPoints = 80.25;
constexpr qreal kCountPoints = 60;
constexpr qreal kGuidePoints = 27.75;

// A count after one more: 16-bit, it stays at 32767 instead of wrapping round (Enter held down
// on a wrong line would reach it).
qint16 addOne(qint16 count) {
    return count < std::numeric_limits<qint16>::max() ? static_cast<qint16>(count + 1) : count;
}

QString rightText(int count) {
    return QStringLiteral("○ ") + QString::number(count);
}

QString wrongText(int count) {
    return QStringLiteral("× ") + QString::number(count);
}

QString linesLeftText(int count) {
    return QStringLiteral("練習数") + QString::number(count);
}

QString zeroTime() {
    return LinePractice::elapsedText(0);
}

// Shows a count or a time and lets assistive technology read it: a label with an accessible
// name no longer reports its text by itself.
void setCaption(QLabel* label, const QString& text) {
    label->setText(text);
    label->setAccessibleDescription(text);
}

} // namespace

LinePractice::LinePractice(Platform& platform, const LinePracticeVariant& variant)
    : FormWindow(platform)
    , m_variant(variant)
    , m_traits(textLanguageTraits(variant.language))
    , m_presenter(platform, variant.language) {
    setObjectName(variant.formName);
}

LinePractice::~LinePractice() = default;

QString LinePractice::elapsedText(qint64 seconds) {
    const qint64 minutes = (seconds / 60) % 60;
    return QStringLiteral("%1分%2秒")
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

void LinePractice::createControls() {
    setWindowTitle(m_variant.caption);
    setColors(client(), colors::white, m_traits.background, true);

    Frame1 = new QFrame(client());
    Frame1->setObjectName(QStringLiteral("Frame1"));
    setColors(Frame1, colors::white, colors::black, true);

    txtHyoji = new DisplayBox(Frame1);
    txtHyoji->setObjectName(QStringLiteral("txtHyoji"));
    txtHyoji->setAccessibleName(m_variant.names.display);
    txtHyoji->setFont(pGothic(kBoxPoints));
    txtHyoji->setFrameShape(QFrame::NoFrame);
    setColors(txtHyoji, colors::white, colors::black, true);

    // Over the frame's band, below the display box.
    txtNyuryoku = makeInputBox(platform(), m_variant.language, client());
    txtNyuryoku->setObjectName(QStringLiteral("txtNyuryoku"));
    txtNyuryoku->setAccessibleName(m_variant.names.input);
    txtNyuryoku->setFont(pGothic(kBoxPoints));
    txtNyuryoku->setFrame(false);
    txtNyuryoku->setContextMenuPolicy(Qt::NoContextMenu);
    setColors(txtNyuryoku, colors::yellow, colors::white, true);
    txtNyuryoku->raise();

    createLabels();

    Timer1 = new QTimer(client());
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kTimerIntervalMs);
    connect(Timer1, &QTimer::timeout, this, &LinePractice::Timer1_Timer);

    m_commonDialog = new CommonDialog1(platform(), client());
    createMenus();
}

void LinePractice::createLabels() {
    const auto label = [this](const QString& name, const QString& accessibleName, const QFont& font,
                              const QColor& color) {
        QLabel* made = makeLabel(client(), name, font, color, Qt::AlignLeft | Qt::AlignVCenter);
        if (!accessibleName.isEmpty())
            made->setAccessibleName(accessibleName);
        return made;
    };
    const LinePracticeNames& names = m_variant.names;
    lblTime = label(QStringLiteral("lblTime"), names.time, gothic(kCountPoints), colors::white);
    lblMaru = label(QStringLiteral("lblMaru"), names.right, gothic(kCountPoints), colors::white);
    lblBatsu = label(QStringLiteral("lblBatsu"), names.wrong, gothic(kCountPoints), colors::white);
    lblGyosu = label(QStringLiteral("lblGyosu"), names.linesLeft, m_variant.gyosuFont(kCountPoints),
                     colors::yellow);
    lblKey_Guide =
        label(QStringLiteral("lblKey_Guide"), QString(), pGothic(kGuidePoints), colors::green);
}

void LinePractice::createMenus() {
    const FileMenu menu = addFileMenu(formMenuBar(), m_traits);
    connect(menu.mnuFileOpen, &QAction::triggered, this, &LinePractice::mnuFileOpen_Click);
    connect(menu.mnuFileText, &QAction::triggered, this, &LinePractice::mnuFileText_Click);
    connect(menu.mnuEnd, &QAction::triggered, this, &LinePractice::mnuEnd_Click);
    QAction* mnuVersion = addVersionItem(formMenuBar(), m_traits);
    connect(mnuVersion, &QAction::triggered, this, &LinePractice::mnuVersion_Click);
}

void LinePractice::Form_Load() {
    placeFullScreen();
    m_presenter.createVoice();
    setKeyPreview(true);
    m_rightCount = 0;
    m_wrongCount = 0;
    setCaption(lblMaru, rightText(0));
    setCaption(lblBatsu, wrongText(0));
    // The label shows line feeds; CR LF is how the guide text is kept.
    lblKey_Guide->setText(
        QString(keyGuideText()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    setColors(txtHyoji, colors::white, colors::black, true);
    setColors(txtNyuryoku, colors::yellow, colors::black, true);
    Timer1->stop();
    setCaption(lblTime, zeroTime());
    // A window opened again starts its text from the first line: the lines-left count and the
    // clock both count from there.
    m_text.linePosition = 0;
    platform().sound().prepare(m_traits.wrongLineCue);
    focusControl(txtNyuryoku);
}

void LinePractice::Form_Unload() {
    m_presenter.releaseVoice();
}

void LinePractice::Form_Resize() {
    const LayoutUnits u = units();
    const double outer = outerWidthTwips();
    const auto outerPart = [outer](double factor) { return static_cast<float>(outer * factor); };
    place(txtHyoji, scaled(u.h, 1.5), static_cast<float>(u.w), scaled(u.h, 0.2), scaled(u.w, 0.05));
    place(txtNyuryoku, scaled(u.h, 1.5), static_cast<float>(u.w), scaled(u.h, 1.8),
          scaled(u.w, 0.05));
    place(lblTime, scaled(u.h, 0.6), outerPart(0.35), scaled(u.h, 3.5), scaled(u.w, 0.02));
    place(lblMaru, scaled(u.h, 0.6), outerPart(0.25), scaled(u.h, 3.5), scaled(u.w, 0.4));
    place(lblBatsu, scaled(u.h, 0.6), outerPart(0.25), scaled(u.h, 4.2), scaled(u.w, 0.4));
    place(lblGyosu, scaled(u.h, 0.6), outerPart(0.35), scaled(u.h, 3.5), scaled(u.w, 0.65));
    place(Frame1, scaled(u.h, 3.4), static_cast<float>(innerWidthTwips()), scaled(u.h, 0.01), 0);
    place(lblKey_Guide, scaled(u.h, 0.6), outerPart(0.35), scaled(u.h, 4.2), scaled(u.w, 0.02));
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
    m_presenter.present(txtHyoji->text());
}

void LinePractice::resetRun() {
    m_text.linePosition = 0;
    setCaption(lblTime, zeroTime());
    txtHyoji->setText(QString());
    txtNyuryoku->setReadOnly(false);
    txtNyuryoku->clear();
    setCaption(lblMaru, rightText(0));
    m_rightCount = 0;
    setCaption(lblBatsu, wrongText(0));
    m_wrongCount = 0;
    m_startTime = 0;
    m_startMs.reset();
    m_tickTime = 0;
    m_elapsedSeconds = 0;
    Timer1->stop();
    setCaption(lblGyosu, QString());
}

// Whole and exact: code unit by code unit, nothing trimmed; case, width and kana against
// kanji all count.
void LinePractice::judgeLine() {
    if (inputText() != txtHyoji->text()) {
        countWrong();
        return;
    }
    m_rightCount = addOne(m_rightCount);
    setCaption(lblMaru, rightText(m_rightCount - 1));
    advance();
}

void LinePractice::countWrong() {
    m_wrongCount = addOne(m_wrongCount);
    setCaption(lblBatsu, wrongText(m_wrongCount));
    platform().sound().play(m_traits.wrongLineCue);
}

void LinePractice::advance() {
    txtNyuryoku->clear();
    const QString& line = m_text.lineSlots[static_cast<std::size_t>(m_text.linePosition)];
    txtHyoji->setText(line);
    m_presenter.present(line);
    ++m_text.linePosition;
    if (m_text.linePosition == m_text.linesRead)
        m_text.linePosition = 0;
    if (displayShows(m_text.lineSlots[0]))
        markStart();
    setCaption(lblGyosu, linesLeftText(m_text.lastLineIndex + 2 - m_rightCount));
}

// The time shown is that of the last tick; the timer itself stops at its next tick.
void LinePractice::finishRun() {
    txtHyoji->setText(m_variant.endText);
    m_presenter.present(m_variant.endText);
    setCaption(lblTime, elapsedText(m_elapsedSeconds));
    platform().clipboard().setText(lblTime->text());
    setCaption(lblGyosu, linesLeftText(0));
    txtNyuryoku->setReadOnly(true);
    setCaption(lblMaru, rightText(m_rightCount));
}

void LinePractice::markStart() {
    m_startTime = platform().clock().timeOfDay();
    m_startMs = platform().clock().monotonicMs();
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

void LinePractice::mnuFileOpen_Click() {
    if (!isLoaded())
        return;
    OpenCommandHooks hooks;
    hooks.clearDisplay = [this] {
        if (isLoaded())
            txtHyoji->setText(QString());
    };
    hooks.restartLines = [this] { m_elapsedSeconds = 0; };
    runOpenCommand(platform(), *m_commonDialog, m_text, hooks);
}

void LinePractice::mnuFileText_Click() {
    runEditorCommand(platform());
}

void LinePractice::mnuEnd_Click() {
    unload();
}

void LinePractice::mnuVersion_Click() {
    showVersionBox();
}

void LinePractice::Control_KeyPress(QWidget* control, int& keyAscii) {
    if (control == txtNyuryoku)
        txtNyuryoku_KeyPress(keyAscii);
}

// Enter judges the line; it never becomes part of the typed text.
void LinePractice::txtNyuryoku_KeyPress(int& keyAscii) {
    if (keyAscii == '\r')
        keyAscii = 0;
}

bool LinePractice::displayShows(const QString& text) const {
    return txtHyoji->text() == text;
}

QString LinePractice::inputText() const {
    return txtNyuryoku->text();
}

} // namespace tokotoko

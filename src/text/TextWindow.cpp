#include "TextWindow.h"

#include "CompositionAnnouncer.h"
#include "KanjiReadings.h"
#include "TextCommands.h"

#include "common/Controls.h"
#include "common/Counts.h"
#include "common/Fonts.h"
#include "drawing/InputBox.h"
#include "platform/Platform.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QTimer>

#include <utility>

namespace tokotoko {
namespace {

constexpr int kTimerIntervalMs = 1000;
constexpr qreal kBoxPoints = 80.25;
constexpr qreal kCountPoints = 60;
constexpr qreal kGuidePoints = 27.75;

} // namespace

QString rightLinesText(int count) {
    return QStringLiteral("○ ") + QString::number(count);
}

QString wrongLinesText(int count) {
    return QStringLiteral("×") + countText(count);
}

TextWindow::TextWindow(Platform& platform, TextLanguage language, const QString& formName,
                       const QString& caption, const TextWindowNames& names)
    : FormWindow(platform)
    , m_traits(textLanguageTraits(language))
    , m_caption(caption)
    , m_names(names)
    , m_presenter(platform, language) {
    setObjectName(formName);
    if (language == TextLanguage::Japanese)
        m_kanjiReadings = std::make_unique<KanjiReadings>(platform.app().dataFolders());
}

TextWindow::~TextWindow() = default;

void TextWindow::createControls() {
    setWindowTitle(m_caption);
    setColors(client(), colors::white, m_traits.background, true);
    createTextBoxes();
    createLabels();

    Timer1 = new QTimer(client());
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kTimerIntervalMs);
    connect(Timer1, &QTimer::timeout, this, &TextWindow::Timer1_Timer);

    CommonDialog1 = new OpenFileDialog(platform(), client());
    createOwnControls();
    createResultsLabel();
    createMenus();
}

// The display box sits in a black band across the top; the input box lies over the band's
// lower half, so it is made after the band.
void TextWindow::createTextBoxes() {
    Frame1 = new QFrame(client());
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::NoFrame);
    setColors(Frame1, colors::white, colors::black, true);

    txtHyoji = new DisplayBox(Frame1);
    txtHyoji->setObjectName(QStringLiteral("txtHyoji"));
    txtHyoji->setAccessibleName(m_names.display);
    txtHyoji->setFont(pGothic(kBoxPoints));
    txtHyoji->setFrameShape(QFrame::NoFrame);
    setColors(txtHyoji, colors::white, colors::black, true);

    txtNyuryoku = makeInputBox(platform(), m_traits.language, client());
    txtNyuryoku->setObjectName(QStringLiteral("txtNyuryoku"));
    txtNyuryoku->setAccessibleName(m_names.input);
    txtNyuryoku->setFont(pGothic(kBoxPoints));
    txtNyuryoku->setFrame(false);
    txtNyuryoku->setContextMenuPolicy(Qt::NoContextMenu);
    setColors(txtNyuryoku, colors::yellow, colors::white, true);
    if (m_kanjiReadings)
        new CompositionAnnouncer(*txtNyuryoku, platform().announcer(), *m_kanjiReadings);
}

void TextWindow::createLabels() {
    const auto label = [this](const char* name, const QString& accessibleName, const QFont& font,
                              const QColor& color) {
        QLabel* made = makeLabel(client(), QString::fromLatin1(name), font, color,
                                 Qt::AlignLeft | Qt::AlignVCenter);
        if (!accessibleName.isEmpty())
            made->setAccessibleName(accessibleName);
        return made;
    };
    lblTime = label("lblTime", m_names.time, gothic(kCountPoints), colors::white);
    lblMaru = label("lblMaru", m_names.right, gothic(kCountPoints), colors::white);
    lblBatsu = label("lblBatsu", m_names.wrong, gothic(kCountPoints), colors::white);
    lblKey_Guide = label("lblKey_Guide", QString(), pGothic(kGuidePoints), colors::green);
}

QLabel* TextWindow::makeYellowLabel(const QString& name, const QString& accessibleName) {
    QLabel* label = makeLabel(client(), name, m_traits.yellowLabelFace(kCountPoints),
                              colors::yellow, Qt::AlignLeft | Qt::AlignVCenter);
    label->setAccessibleName(accessibleName);
    return label;
}

// Yellow like the score above it, in the key guide's size: two rows of the longest results
// fit the row at every screen size. Hidden until a run has ended.
void TextWindow::createResultsLabel() {
    lblKekka = makeLabel(client(), QStringLiteral("lblKekka"), pGothic(kGuidePoints),
                         colors::yellow, Qt::AlignLeft | Qt::AlignVCenter);
    // Rather a third row than a cut one, for numbers beyond any learner's.
    lblKekka->setWordWrap(true);
    const bool japanese = m_traits.language == TextLanguage::Japanese;
    lblKekka->setAccessibleName(japanese ? QStringLiteral("結果") : QStringLiteral("Results"));
    lblKekka->hide();
}

void TextWindow::createMenus() {
    const FileMenu file = addFileMenu(formMenuBar(), m_traits);
    connect(file.mnuFileOpen, &QAction::triggered, this, &TextWindow::mnuFileOpen_Click);
    connect(file.mnuFileText, &QAction::triggered, this, &TextWindow::mnuFileText_Click);
    connect(file.mnuEnd, &QAction::triggered, this, &TextWindow::mnuEnd_Click);
    createOwnMenus();
    QAction* mnuVersion = addVersionItem(formMenuBar(), m_traits);
    connect(mnuVersion, &QAction::triggered, this, &TextWindow::mnuVersion_Click);
}

void TextWindow::Form_Load() {
    placeFullScreen();
    m_presenter.createVoice();
    setKeyPreview(true);
    resetCounts();
    // The label shows line feeds; CR LF is how the guide text is kept.
    lblKey_Guide->setText(keyGuideText().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    setColors(txtHyoji, colors::white, colors::black, true);
    setColors(txtNyuryoku, colors::yellow, colors::black, true);
    Timer1->stop();
    if (m_traits.language == TextLanguage::English)
        platform().inputMethod().useAlphanumeric(*txtNyuryoku);
    loadExercise();
    // Loaded now so that the first wrong line is heard at once.
    platform().sound().prepare(m_traits.wrongLineCue);
    focusControl(txtNyuryoku);
}

void TextWindow::Form_Unload() {
    m_presenter.releaseVoice();
}

// Both text boxes are w wide from 0.05 w, so they reach a little past the right edge: the
// display box is cut off by the band, the input box by the window. Their text stays inside the
// window all the same (keepTextInsideWindow): the shown line wraps, and the typed line
// scrolls, before the edge.
void TextWindow::Form_Resize() {
    const LayoutUnits u = units();
    const auto w = static_cast<float>(u.w);
    place(txtHyoji, scaled(u.h, 1.5), w, scaled(u.h, 0.2), scaled(u.w, 0.05));
    place(txtNyuryoku, scaled(u.h, 1.5), w, scaled(u.h, 1.8), scaled(u.w, 0.05));
    place(lblTime, scaled(u.h, 0.6), ofOuterWidth(0.35), scaled(u.h, 3.5), scaled(u.w, 0.02));
    place(lblMaru, scaled(u.h, 0.6), ofOuterWidth(0.25), scaled(u.h, 3.5), scaled(u.w, 0.4));
    place(lblBatsu, scaled(u.h, 0.6), ofOuterWidth(0.25), scaled(u.h, 4.2), scaled(u.w, 0.4));
    place(Frame1, scaled(u.h, 3.4), static_cast<float>(innerWidthTwips()), scaled(u.h, 0.01), 0);
    place(lblKey_Guide, scaled(u.h, 0.6), ofOuterWidth(0.35), scaled(u.h, 4.2), scaled(u.w, 0.02));
    placeOwnControls(u);
    placeResultsLabel(u);
}

// In the second row, right of the wrong count and clear of it, to a small margin at the
// window's right edge.
void TextWindow::placeResultsLabel(const LayoutUnits& u) {
    const float left = scaled(u.w, 0.66);
    const float width = static_cast<float>(innerWidthTwips()) - left - scaled(u.w, 0.01);
    place(lblKekka, scaled(u.h, 0.6), width, scaled(u.h, 4.2), left);
}

float TextWindow::ofOuterWidth(double factor) const {
    return static_cast<float>(factor * outerWidthTwips());
}

void TextWindow::placeYellowLabel(QLabel* label, const LayoutUnits& u) {
    place(label, scaled(u.h, 0.6), ofOuterWidth(0.35), scaled(u.h, 3.5), scaled(u.w, 0.65));
}

void TextWindow::Control_KeyPress(QWidget* control, int& keyAscii) {
    if (control == txtNyuryoku)
        txtNyuryoku_KeyPress(keyAscii);
}

// Enter judges the line; it never becomes part of it.
void TextWindow::txtNyuryoku_KeyPress(int& keyAscii) {
    if (keyAscii == '\r')
        keyAscii = 0;
}

void TextWindow::present(const QString& text) {
    m_presenter.present(text);
    // An English text is read out by the window's voice: a screen reader saying it too would
    // be heard twice.
    if (m_traits.language == TextLanguage::Japanese)
        announce(text);
}

// A judged line's verdict and the counts the window then shows come first, before the next
// line to type.
QString TextWindow::keyAnnouncementLead() {
    const Verdict verdict = std::exchange(m_verdict, Verdict::None);
    if (verdict == Verdict::None || !isLoaded())
        return {};
    const bool japanese = m_traits.language == TextLanguage::Japanese;
    QString word;
    if (verdict == Verdict::Right)
        word = japanese ? QStringLiteral("正解") : QStringLiteral("Right");
    else
        word = japanese ? QStringLiteral("まちがい") : QStringLiteral("Wrong");
    return word + QLatin1Char(' ') + lblMaru->text() + QLatin1Char(' ') + lblBatsu->text();
}

// A line judged, right or wrong, after the end belongs to a run that goes on: the results of
// the ended one no longer stand.
void TextWindow::countWrongLine() {
    m_verdict = Verdict::Wrong;
    clearResults();
    m_tally.addWrong(txtHyoji->text());
    m_wrongCount = addOne(m_wrongCount);
    setCaption(lblBatsu, wrongLinesText(m_wrongCount));
    platform().sound().play(m_traits.wrongLineCue);
}

void TextWindow::countRightLine() {
    // The starting Enter counts as right too, but judges no line.
    if (!txtHyoji->text().isEmpty())
        m_verdict = Verdict::Right;
    clearResults();
    m_tally.addRight(txtHyoji->text());
    m_rightCount = addOne(m_rightCount);
}

void TextWindow::showRightLines(int lines) {
    setCaption(lblMaru, rightLinesText(lines));
}

void TextWindow::resetCounts() {
    m_rightCount = 0;
    m_wrongCount = 0;
    showRightLines(0);
    setCaption(lblBatsu, wrongLinesText(0));
    m_tally = {};
    clearResults();
}

void TextWindow::countFinishingLine(const QString& line) {
    m_tally.addRight(line);
}

void TextWindow::showResults(qint64 runMs) {
    if (m_results.isEmpty()) {
        m_results = m_traits.language == TextLanguage::Japanese ? japaneseResults(m_tally, runMs)
                                                                : englishResults(m_tally, runMs);
    }
    if (m_results.isEmpty())
        return;
    setCaption(lblKekka, m_results.shown);
    lblKekka->show();
    // For the screen reader only: the voice of an English window reads the lines to type, and
    // the clipboard holds what the window itself presents.
    announce(m_results.spoken);
}

void TextWindow::clearResults() {
    m_results = {};
    lblKekka->hide();
    setCaption(lblKekka, QString());
}

void TextWindow::mnuFileOpen_Click() {
    if (!isLoaded())
        return;
    OpenCommandHooks hooks;
    hooks.clearDisplay = [this] {
        if (isLoaded())
            txtHyoji->setText(QString());
    };
    hooks.restartLines = restartLinesAfterOpen();
    runOpenCommand(platform(), *CommonDialog1, m_text, hooks);
}

void TextWindow::mnuFileText_Click() {
    runEditorCommand(platform());
}

void TextWindow::mnuEnd_Click() {
    unload();
}

void TextWindow::mnuVersion_Click() {
    showVersionBox();
}

} // namespace tokotoko

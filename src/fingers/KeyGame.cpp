#include "KeyGame.h"

#include "DrillControls.h"
#include "DrillRules.h"

#include "common/Controls.h"
#include "common/Counts.h"
#include "common/Fonts.h"
#include "platform/KeyTranslation.h"
#include "platform/Platform.h"

#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

namespace tokotoko {

using namespace fingers;

const KeyGameVariant kAlphabetGame{QStringLiteral("frmYubiren2"),
                                   QStringLiteral("アルファベットに挑戦"),
                                   KeySet::Alphabet,
                                   30,
                                   QColor(255, 0, 0),
                                   QStringLiteral("終了(&X )")};

const KeyGameVariant kSymbolsAndNumbersGame{QStringLiteral("frmYubiren3"),
                                            QStringLiteral("数字と記号も登場"),
                                            KeySet::SymbolsAndNumbers,
                                            60,
                                            QColor(0, 0, 255),
                                            QStringLiteral("終了(&X)")};

namespace {

const QString kStartPrompt = QStringLiteral("Spaceでスタート");

} // namespace

KeyGame::KeyGame(Platform& platform, const KeyGameVariant& variant)
    : FormWindow(platform)
    , m_variant(variant) {
    setObjectName(variant.formName);
}

// Timer1 goes with the controls when the window is closed: only a loaded window has a game.
bool KeyGame::gameRunning() const {
    return isLoaded() && Timer1 && Timer1->isActive();
}

void KeyGame::createControls() {
    setWindowTitle(m_variant.title);
    setColors(client(), colors::white, colors::navy, true);

    Frame1 = new QFrame(client());
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::NoFrame);
    setColors(Frame1, colors::white, colors::black, true);

    createLabels();

    shpBox = new Shape(client(), QStringLiteral("shpBox"), colors::white);
    shpScale = new Shape(client(), QStringLiteral("shpScale"), m_variant.barColor);

    cmdStart = new QPushButton(QStringLiteral("START"), client());
    cmdStart->setObjectName(QStringLiteral("cmdStart"));
    cmdStart->setFont(pGothic(36));
    cmdStart->setFocusPolicy(Qt::StrongFocus);
    cmdStart->setAutoDefault(false);
    setColors(cmdStart, colors::black, colors::buttonGrey, true);
    connect(cmdStart, &QPushButton::clicked, this, &KeyGame::cmdStart_Click);

    // The last typed character: a tiny black box in the corner.
    Label1 = makeDrillLabel(client(), QStringLiteral("Label1"), QString(), pGothic(9),
                            colors::black, Qt::AlignLeft | Qt::AlignTop);
    setColors(Label1, colors::black, colors::black, true);

    Timer1 = new QTimer(client());
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &KeyGame::Timer1_Timer);

    createMenus();
}

void KeyGame::createLabels() {
    const Qt::Alignment centred = Qt::AlignHCenter | Qt::AlignTop;
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignTop;
    lblKey = makeDrillLabel(Frame1, QStringLiteral("lblKey"), QStringLiteral("打つキー"),
                            pGothic(249.75), colors::white, centred);
    lblYubi = makeDrillLabel(Frame1, QStringLiteral("lblYubi"), QStringLiteral("使う指"),
                             pGothic(60), colors::yellow, centred);
    lblTime = makeDrillLabel(client(), QStringLiteral("lblTime"), QStringLiteral("残り時間"),
                             pGothic(72), colors::white, left);
    lblMaru = makeDrillLabel(client(), QStringLiteral("lblMaru"), QStringLiteral("正しく打った数"),
                             gothic(72), colors::white, left);
    lblBatsu = makeDrillLabel(client(), QStringLiteral("lblBatsu"), QStringLiteral("まちがえた数"),
                              gothic(72), colors::white, left);
    lblTokuten = makeDrillLabel(client(), QStringLiteral("lblTokuten"), QStringLiteral("得点"),
                                gothic(72), colors::yellow, left);
}

void KeyGame::createMenus() {
    QMenu* mnuFile = formMenuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    QAction* mnuEnd = mnuFile->addAction(m_variant.endCaption);
    mnuEnd->setObjectName(QStringLiteral("mnuEnd"));
    connect(mnuEnd, &QAction::triggered, this, &KeyGame::mnuEnd_Click);

    QMenu* mnuSettei = formMenuBar()->addMenu(QStringLiteral("設定(&S)"));
    mnuSettei->setObjectName(QStringLiteral("mnuSettei"));
    QAction* mnuHintNashi = mnuSettei->addAction(QStringLiteral("指の名前なし(&N)"));
    mnuHintNashi->setObjectName(QStringLiteral("mnuHintNashi"));
    connect(mnuHintNashi, &QAction::triggered, this, &KeyGame::mnuHintNashi_Click);
    QAction* mnuHintAri = mnuSettei->addAction(QStringLiteral("指の名前あり(&A)"));
    mnuHintAri->setObjectName(QStringLiteral("mnuHintAri"));
    connect(mnuHintAri, &QAction::triggered, this, &KeyGame::mnuHintAri_Click);

    QAction* mnuVersion = formMenuBar()->addAction(QStringLiteral("バージョン(&V)"));
    mnuVersion->setObjectName(QStringLiteral("mnuVersion"));
    connect(mnuVersion, &QAction::triggered, this, &KeyGame::mnuVersion_Click);
}

void KeyGame::Form_Load() {
    // Loaded now so that the first wrong key is heard at once.
    platform().sound().prepare(kMissCue);
    m_startSpacePending = false;
    initialise();
    // As on opening any window, the first control that can take the focus has it.
    focusControl(cmdStart);
}

// Ready for a game: everything as on opening, with the first key already drawn but hidden.
void KeyGame::initialise() {
    placeFullScreen();
    lblYubi->hide();
    lblKey->hide();
    lblTokuten->hide();
    cmdStart->setEnabled(true);
    CurrentStatus(); // draws the first key; its hit is undone just below
    m_hits = 0;
    m_misses = 0;
    m_secondsLeft = m_variant.gameSeconds;
    setCaption(lblTime, QStringLiteral("TIME") + countText(m_secondsLeft));
    setCaption(lblMaru, QStringLiteral("○") + countText(m_hits));
    setCaption(lblBatsu, QStringLiteral("×") + countText(m_misses));
    setCaption(lblTokuten, QStringLiteral("得点") + countText(0));
    cmdStart->setText(QStringLiteral("START"));
    // A new game starts with a full bar, not the empty one the last game left.
    showTimeBar();
}

void KeyGame::CurrentStatus() {
    m_hits = addOne(m_hits);
    setCaption(lblMaru, QStringLiteral("○") + countText(m_hits));
    const int n = keySetSize(m_variant.keySet);
    m_entryNumber = static_cast<qint16>(drawEntryNumber(platform().clock(), n));
    const ChallengeEntry entry = challengeEntry(m_variant.keySet, m_entryNumber);
    setCaption(lblYubi, entry.fingerLabel);
    setCaption(lblKey, entry.key);
}

void KeyGame::cmdStart_Click() {
    initialise();
    lblYubi->show();
    lblKey->show();
    platform().clipboard().setText(lblKey->text());
    announce(lblKey->text());
    cmdStart->setEnabled(false);
    // Disabling the focused button leaves no focus anywhere; from now on the window's inner
    // area takes the keys (and any input method's text).
    if (!focusWidget() || focusWidget() == cmdStart)
        client()->setFocus(Qt::OtherFocusReason);
    Timer1->start();
}

void KeyGame::Timer1_Timer() {
    if (m_secondsLeft <= 0)
        return; // a game that has ended has no more time to lose
    --m_secondsLeft;
    setCaption(lblTime, QStringLiteral("TIME ") + QString::number(m_secondsLeft));
    if (m_secondsLeft == 0)
        endGame();
    showTimeBar();
}

void KeyGame::endGame() {
    Timer1->stop();
    setCaption(lblYubi, kStartPrompt);
    setCaption(lblKey, QString());
    cmdStart->setEnabled(true);
    cmdStart->setText(QStringLiteral("RETRY"));
    lblTokuten->show();
    setCaption(lblTokuten, QStringLiteral("得点 ") + QString::number(int(m_hits) - int(m_misses)));
    platform().clipboard().setText(lblTokuten->text());
    announce(lblTokuten->text());
    announce(kStartPrompt);
}

// The bar's length is the box's length in proportion to the time left.
void KeyGame::showTimeBar() {
    const double perSecond = static_cast<double>(m_barPlace.width) / m_variant.gameSeconds;
    const auto width = static_cast<float>(perSecond * m_secondsLeft);
    place(shpScale, m_barPlace.height, width, m_barPlace.top, m_barPlace.left);
}

void KeyGame::Form_KeyPress(int& keyAscii) {
    if (m_startSpacePending) {
        m_startSpacePending = false;
        if (keyAscii == ' ') {
            keyAscii = 0;
            return;
        }
    }
    keyAscii = upperCased(keyAscii);
    setCaption(Label1, characterText(keyAscii));
    if (lblKey->text() != Label1->text())
        judgeMiss();
    else
        judgeHit();
}

void KeyGame::judgeMiss() {
    platform().clipboard().setText(lblKey->text());
    announce(lblKey->text());
    m_misses = addOne(m_misses);
    setCaption(lblBatsu, QStringLiteral("×") + countText(m_misses));
    platform().sound().play(kMissCue);
}

void KeyGame::judgeHit() {
    CurrentStatus();
    platform().clipboard().setText(lblKey->text());
    announce(lblKey->text());
}

void KeyGame::Form_KeyDown(int keyCode, int) {
    m_startSpacePending = false;
    if (keyCode == vk::Escape) {
        unload();
    } else if (keyCode == vk::Space && !gameRunning()) {
        cmdStart_Click();
        m_startSpacePending = true;
    }
}

void KeyGame::Form_Resize() {
    const LayoutUnits u = units();
    place(Label1, scaled(u.h, 0.2), scaled(u.w, 0.01), 0, 0);
    place(lblTime, u.h, scaled(u.w, 0.5), scaled(u.h, 0.2), scaled(u.w, 0.62));
    place(lblMaru, u.h, scaled(u.w, 0.3), scaled(u.h, 1.4), scaled(u.w, 0.72));
    place(lblBatsu, u.h, scaled(u.w, 0.3), scaled(u.h, 2.6), scaled(u.w, 0.72));
    place(lblTokuten, u.h, scaled(u.w, 0.5), scaled(u.h, 3.8), scaled(u.w, 0.62));
    place(lblYubi, scaled(u.h, 0.8), scaled(u.w, 0.6), scaled(u.h, 0.3),
          static_cast<float>(u.w * 0.05 / 5));
    place(lblKey, scaled(u.h, 2.3), scaled(u.w, 0.6), scaled(u.h, 1.2), scaled(u.w, 0.01));
    place(cmdStart, scaled(u.h, 0.6), scaled(u.w, 0.4), scaled(u.h, 3.9), scaled(u.w, 0.1));
    place(Frame1, scaled(u.h, 3.5), scaled(u.w, 0.6), scaled(u.h, 0.01), 0);
    m_barPlace = {scaled(u.h, 0.1), scaled(u.w, 0.6), scaled(u.h, 3.5), 0};
    place(shpBox, m_barPlace.height, m_barPlace.width, m_barPlace.top, m_barPlace.left);
    // The bar keeps showing the time left: full before a game, empty after it.
    showTimeBar();
}

void KeyGame::mnuEnd_Click() {
    unload();
}

void KeyGame::mnuHintNashi_Click() {
    lblYubi->hide();
}

void KeyGame::mnuHintAri_Click() {
    lblYubi->show();
}

void KeyGame::mnuVersion_Click() {
    showVersionBox();
}

} // namespace tokotoko

// The two timed text challenges driven with real key events on the fake platform. Ticks are
// driven by calling Timer1_Timer, draws by the fake clock's random values; nothing waits.

#include "TextWindowTest.h"

#include "common/Controls.h"
#include "common/Layout.h"
#include "drawing/InputBox.h"
#include "platform/KeyTranslation.h"
#include "text/TextWindowKit.h"
#include "timed/frmEnglish.h"
#include "timed/frmJapanese.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProperty>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <memory>

using namespace tokotoko;
using namespace tokotoko::test;

namespace {

const QStringList kThreeLines{QStringLiteral("今日は良い天気です。"),
                              QStringLiteral("猫が窓の外を見ている。"),
                              QStringLiteral("駅まで歩いて十分です。")};
const QStringList kEnglishLines{QStringLiteral("The sun is shining."),
                                QStringLiteral("Where is the station?"),
                                QStringLiteral("We like tea.")};

// One window of either language on its own fake platform.
struct Game : TextWindowDriver<TimedChallenge, frmJapanese, frmEnglish> {
    using TextWindowDriver::TextWindowDriver;

    QStringList lines() const { return japanese() ? kThreeLines : kEnglishLines; }
    void cancelOpen() { action("mnuFileOpen")->trigger(); }
    // Opens the window with a text of these lines; every draw gives slot 0 until told else.
    bool ready(const QStringList& textLines) {
        if (!show())
            return false;
        open(textLines);
        return f().practiceText().hasText();
    }

    // A value of r that draws `slot` among `count` lines.
    void draw(int slot, int count = 3) {
        fake.clock.nextRandom = static_cast<float>((slot + 0.5) / count);
    }

    void erase() {
        const qsizetype length = input()->text().size();
        for (qsizetype i = 0; i < length; ++i)
            pressKey(f(), Qt::Key_Backspace);
    }
    void typeAndEnter(const QString& text) { enterLine(text); }
    void tick(int times = 1) {
        for (int i = 0; i < times; ++i)
            f().Timer1_Timer();
    }
    void runOut() { tick(f().secondsLeft()); }

    QAction* action(const char* name) { return control<QAction>(name); }
    QLabel* label(const char* name) { return control<QLabel>(name); }
    QString shownLine() { return display()->text(); }
    Shape* shape(const char* name) { return control<Shape>(name); }
    QString score(int value) {
        return (japanese() ? QStringLiteral("得点 ") : QStringLiteral("SCORE ")) +
               QString::number(value);
    }
    QString endText() {
        return japanese() ? QStringLiteral("おしまい  RESET!")
                          : QStringLiteral("GAME OVER.  RESET!");
    }
};

void addLanguageRows() {
    test::addLanguageRows("Japanese", "English");
}

} // namespace

class TimedTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void rules_data();
    void rules();
    void barWidthIsTheShareOfTheTimeLeft();

    void opensReadyForAText_data() { addLanguageRows(); }
    void opensReadyForAText();
    void menusAndAppearance_data() { addLanguageRows(); }
    void menusAndAppearance();
    void enterBeforeAnyTextDoesNothing_data() { addLanguageRows(); }
    void enterBeforeAnyTextDoesNothing();
    void theStartingEnterDrawsTheFirstLine_data() { addLanguageRows(); }
    void theStartingEnterDrawsTheFirstLine();
    void textTypedBeforeTheStartIsAWrongLine_data() { addLanguageRows(); }
    void textTypedBeforeTheStartIsAWrongLine();
    void threeRightAndOneWrongScoreTwo_data() { addLanguageRows(); }
    void threeRightAndOneWrongScoreTwo();
    void onlyTheStartAndTwoWrongScoreMinusTwo_data() { addLanguageRows(); }
    void onlyTheStartAndTwoWrongScoreMinusTwo();
    void aGameWithoutARightEnterScoresOnlyItsWrongLines();
    void judgingIsExact_data();
    void judgingIsExact();
    void onlyAKeyPressOfEnterJudges();
    void enterKeepsTheClocksRhythm();
    void theSameLineMayComeTwiceInARow();
    void aOneLineTextAlwaysDrawsItsLine();
    void ctrlRightAfterOpeningShowsSlotOne_data() { addLanguageRows(); }
    void ctrlRightAfterOpeningShowsSlotOne();
    void ctrlOfCtrlOShowsTheLineBeforeTheDialog();
    void ctrlWorksWithoutAText();
    void theEndLocksTheInputUntilEscape();
    void ctrlAfterTheEndShowsTheLineAgain_data() { addLanguageRows(); }
    void ctrlAfterTheEndShowsTheLineAgain();
    void escapeDuringAGameStartsAfresh_data() { addLanguageRows(); }
    void escapeDuringAGameStartsAfresh();
    void aTimeChoiceDuringAGame_data();
    void aTimeChoiceDuringAGame();
    void aTimeChoiceAfterTheEndKeepsTheLock();
    void openingDuringAGameKeepsCountsAndClock();
    void resizingDrawsTheBarFull();
    void reopeningAfterClosingMidGame_data() { addLanguageRows(); }
    void reopeningAfterClosingMidGame();
    void cancellingInAReopenedWindowForgetsTheText();
    void englishNeverTouchesTheClipboard();
    void englishWithoutSpeechStillPlays();
    void countsStopAt32767();
    void layoutReachesPastTheRightEdge();
    void theEndShowsAndAnnouncesTheResults_data() { addLanguageRows(); }
    void theEndShowsAndAnnouncesTheResults();
};

void TimedTest::rules_data() {
    QTest::addColumn<float>("r");
    QTest::addColumn<int>("lastLineIndex");
    QTest::addColumn<int>("slot");
    const float belowOne = std::nextafter(1.0f, 0.0f);
    QTest::newRow("r 0, first slot") << 0.0f << 4 << 0;
    QTest::newRow("just below a fifth") << std::nextafter(0.2f, 0.0f) << 4 << 0;
    QTest::newRow("a fifth") << 0.2f << 4 << 1;
    QTest::newRow("just below 1, last of five") << belowOne << 4 << 4;
    QTest::newRow("just below 1, last of 101") << belowOne << 100 << 100;
    QTest::newRow("one line") << belowOne << 0 << 0;
    QTest::newRow("no line") << 0.5f << -1 << 0;
}

void TimedTest::rules() {
    QFETCH(float, r);
    QFETCH(int, lastLineIndex);
    QFETCH(int, slot);
    QCOMPARE(int(drawnSlot(r, static_cast<qint16>(lastLineIndex))), slot);
}

void TimedTest::barWidthIsTheShareOfTheTimeLeft() {
    QCOMPARE(barWidth(18000.0f, 60, 60), 18000.0f);
    QCOMPARE(barWidth(18000.0f, 60, 30), 9000.0f);
    QCOMPARE(barWidth(18000.0f, 300, 1), 60.0f);
    QCOMPARE(barWidth(18000.0f, 180, 0), 0.0f);
    QCOMPARE(rightLines(0), 0);
    QCOMPARE(rightLines(1), 0);
    QCOMPARE(rightLines(4), 3);
}

void TimedTest::opensReadyForAText() {
    QFETCH(TextLanguage, language);
    Game g(language);
    QVERIFY(showActive(g.f()));
    QCOMPARE(g.f().windowTitle(), g.japanese() ? QStringLiteral("応用日本語入力　３分")
                                               : QStringLiteral("ENGLISH Three Minute"));
    QCOMPARE(g.caption("lblTime"), QStringLiteral("TIME 180"));
    QCOMPARE(g.caption("lblMaru"), QStringLiteral("○ 0"));
    QCOMPARE(g.caption("lblBatsu"), QStringLiteral("× 0"));
    QCOMPARE(g.caption("lblKey_Guide"), QStringLiteral("Esc:RESET\nCtrl:REPEAT"));
    QVERIFY(!g.shown("lblTokuten"));
    QVERIFY(g.shown("lblTime"));
    QCOMPARE(g.timer()->interval(), 1000);
    QVERIFY(!g.timer()->isActive());
    QCOMPARE(QApplication::focusWidget(), g.input());
    QCOMPARE(g.shownLine(), QString());
    QCOMPARE(g.shape("shpScale")->fillColor(), QColor(0, 0, 255));
    QCOMPARE(g.shape("shpScale")->width(), g.shape("shpBox")->width());
    QVERIFY(g.fake.clipboard.texts.isEmpty());
    if (g.japanese()) {
        QVERIFY(g.input()->compositionAllowed());
        QCOMPARE(g.fake.speech.voicesCreated, 0);
    } else {
        QVERIFY(!g.input()->compositionAllowed());
        QCOMPARE(g.fake.speech.voicesCreated, 1);
        QCOMPARE(g.fake.speech.volumes, QList<int>{100});
    }
    // Typing goes into the input box.
    g.type(g.lines()[0]);
    QCOMPARE(g.input()->text(), g.lines()[0]);
}

void TimedTest::menusAndAppearance() {
    QFETCH(TextLanguage, language);
    Game g(language);
    QVERIFY(showActive(g.f()));
    const QList<QAction*> bar = g.f().formMenuBar()->actions();
    QCOMPARE(bar.size(), 3);
    QCOMPARE(bar[0]->menu()->objectName(), QStringLiteral("mnuFile"));
    QCOMPARE(bar[1]->menu()->objectName(), QStringLiteral("mnuSettei"));
    QCOMPARE(bar[2]->objectName(), QStringLiteral("mnuVersion"));
    QCOMPARE(bar[1]->text(),
             g.japanese() ? QStringLiteral("設定(&S)") : QStringLiteral("Setting(&S)"));
    QStringList choices;
    for (const QAction* item : bar[1]->menu()->actions()) {
        choices << item->text();
        QVERIFY(!item->isCheckable());
    }
    QCOMPARE(choices, g.japanese() ? (QStringList{"1分間", "3分間", "5分間"})
                                   : (QStringList{"One Minute", "Three Minutes", "Five Minutes"}));
    QCOMPARE(g.f().client()->palette().color(QPalette::Window),
             g.japanese() ? QColor(0, 0, 128) : QColor(128, 0, 0));

    auto* frame = control<QFrame>(g.f(), QStringLiteral("Frame1"));
    QCOMPARE(g.display()->parentWidget(), frame);
    // The score's face is the one look the two windows do not share.
    QCOMPARE(g.label("lblTokuten")->font().families().first(),
             g.japanese() ? QStringLiteral("ＭＳ ゴシック") : QStringLiteral("ＭＳ Ｐゴシック"));

    // Every control that shows the game says what it is to assistive technology, and the
    // labels tell what they show now.
    for (const char* name :
         {"txtHyoji", "txtNyuryoku", "lblTime", "lblMaru", "lblBatsu", "lblTokuten"}) {
        const QWidget* widget = control<QWidget>(g.f(), QString::fromLatin1(name));
        QVERIFY2(!widget->accessibleName().isEmpty() &&
                     widget->accessibleName() != QLatin1String(name),
                 name);
    }
    QCOMPARE(g.label("lblTime")->accessibleDescription(), QStringLiteral("TIME 180"));
}

void TimedTest::enterBeforeAnyTextDoesNothing() {
    QFETCH(TextLanguage, language);
    Game g(language);
    QVERIFY(showActive(g.f()));
    g.enter();
    g.typeAndEnter(QStringLiteral("abc"));
    QVERIFY(!g.timer()->isActive());
    QCOMPARE(g.caption("lblMaru"), QStringLiteral("○ 0"));
    QCOMPARE(g.caption("lblBatsu"), QStringLiteral("× 0"));
    QCOMPARE(g.shownLine(), QString());
    // Enter never becomes part of the typed text.
    QCOMPARE(g.input()->text(), QStringLiteral("abc"));
    QVERIFY(g.fake.sound.played.isEmpty());
    QVERIFY(g.presented().isEmpty());
    QCOMPARE(g.fake.clock.reseeds, 0);
}

void TimedTest::theStartingEnterDrawsTheFirstLine() {
    QFETCH(TextLanguage, language);
    Game g(language);
    QVERIFY(g.ready(g.lines()));
    QCOMPARE(g.f().practiceText().linePosition, 1);
    g.draw(2);
    g.enter();
    QVERIFY(g.timer()->isActive());
    QCOMPARE(g.caption("lblMaru"), QStringLiteral("○ 0"));
    QCOMPARE(g.shownLine(), g.lines()[2]);
    QCOMPARE(g.presented(), QStringList{g.lines()[2]});
    QCOMPARE(g.fake.clock.reseeds, 1);
    g.tick();
    QCOMPARE(g.caption("lblTime"), QStringLiteral("TIME 179"));
    QVERIFY(g.timer()->isActive());
    QVERIFY(g.fake.sound.played.isEmpty());
}

void TimedTest::textTypedBeforeTheStartIsAWrongLine() {
    QFETCH(TextLanguage, language);
    Game g(language);
    QVERIFY(g.ready(g.lines()));
    g.typeAndEnter(QStringLiteral("x"));
    QCOMPARE(g.caption("lblBatsu"), QStringLiteral("× 1"));
    QCOMPARE(g.fake.sound.played, QStringList{g.cue()});
    QVERIFY(g.timer()->isActive());
    QCOMPARE(g.shownLine(), QString());
    QVERIFY(g.presented().isEmpty());
    // Emptied, the input matches the empty display: the first line comes.
    g.erase();
    g.draw(1);
    g.enter();
    QCOMPARE(g.shownLine(), g.lines()[1]);
    QCOMPARE(g.caption("lblMaru"), QStringLiteral("○ 0"));
    QCOMPARE(g.caption("lblBatsu"), QStringLiteral("× 1"));
}

void TimedTest::threeRightAndOneWrongScoreTwo() {
    QFETCH(TextLanguage, language);
    Game g(language);
    QVERIFY(g.ready(g.lines()));
    g.fake.clock.randoms = {0.1f, 0.5f, 0.9f, 0.5f};
    g.enter(); // slot 0
    g.tick(5);
    g.typeAndEnter(g.lines()[0]); // right, slot 1
    QCOMPARE(g.input()->text(), QString());
    g.typeAndEnter(g.lines()[0]); // wrong: slot 1 stays
    QCOMPARE(g.input()->text(), g.lines()[0]);
    QCOMPARE(g.shownLine(), g.lines()[1]);
    g.erase();
    g.typeAndEnter(g.lines()[1]); // right, slot 2
    g.typeAndEnter(g.lines()[2]); // right, slot 1
    QCOMPARE(g.caption("lblMaru"), QStringLiteral("○ 3"));
    QCOMPARE(g.caption("lblBatsu"), QStringLiteral("× 1"));
    QCOMPARE(g.shownLine(), g.lines()[1]);
    QCOMPARE(g.fake.sound.played, QStringList{g.cue()});
    QCOMPARE(g.caption("lblTime"), QStringLiteral("TIME 175"));

    const QStringList drawn{g.lines()[0], g.lines()[1], g.lines()[2], g.lines()[1]};
    QCOMPARE(g.presented(), drawn);
    g.tick(174);
    QVERIFY(!g.shown("lblTokuten"));
    QVERIFY(g.timer()->isActive());
    g.tick();
    QCOMPARE(g.caption("lblTime"), QStringLiteral("TIME 0"));
    QVERIFY(!g.timer()->isActive());
    QCOMPARE(g.shownLine(), g.endText());
    QVERIFY(g.shown("lblTokuten"));
    QCOMPARE(g.caption("lblTokuten"), g.score(2));
    QCOMPARE(g.presented(), drawn + (QStringList{g.endText(), g.score(2)}));
    QVERIFY(g.input()->isReadOnly());
    QCOMPARE(g.shape("shpScale")->width(), 0);
    // No sound at the end of a game.
    QCOMPARE(g.fake.sound.played, QStringList{g.cue()});
    if (!g.japanese())
        QVERIFY(g.fake.clipboard.texts.isEmpty());
    // A screen reader hears the end once, the end text with the score, then the results (32
    // characters right of 43, or 52 of 73, in three minutes); in English the voice says the
    // end text and the score, the screen reader only the results.
    QCoreApplication::processEvents();
    const QString sep = QStringLiteral("、");
    const QString results = g.japanese() ? QStringLiteral("10字/分　正確さ 74%　10分 100字")
                                         : QStringLiteral("3 WPM, Accuracy 71%");
    QCOMPARE(g.fake.announcer.texts.last(),
             g.japanese() ? g.endText() + sep + g.score(2) + sep + results : results);
}

void TimedTest::onlyTheStartAndTwoWrongScoreMinusTwo() {
    QFETCH(TextLanguage, language);
    Game g(language);
    QVERIFY(g.ready(g.lines()));
    g.enter();
    g.typeAndEnter(QStringLiteral("a"));
    g.typeAndEnter(QStringLiteral("b"));
    QCOMPARE(g.caption("lblBatsu"), QStringLiteral("× 2"));
    g.runOut();
    QCOMPARE(g.caption("lblTokuten"), g.score(-2));
    QCOMPARE(g.lastPresented(), g.score(-2));
    QCOMPARE(g.caption("lblMaru"), QStringLiteral("○ 0"));
}

// Were the starting Enter taken for granted, this game would score one less than its labels.
void TimedTest::aGameWithoutARightEnterScoresOnlyItsWrongLines() {
    Game g(TextLanguage::Japanese);
    QVERIFY(g.ready(kThreeLines));
    g.typeAndEnter(QStringLiteral("x"));
    g.enter();
    g.enter();
    g.runOut();
    QCOMPARE(g.caption("lblMaru"), QStringLiteral("○ 0"));
    QCOMPARE(g.caption("lblBatsu"), QStringLiteral("× 3"));
    QCOMPARE(g.caption("lblTokuten"), QStringLiteral("得点 -3"));
}

void TimedTest::judgingIsExact_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("typed");
    QTest::newRow("full-width s") << "s"
                                  << "ｓ";
    QTest::newRow("full-width space") << "a b"
                                      << "a　b";
    QTest::newRow("space added at the end") << "We like tea."
                                            << "We like tea. ";
    QTest::newRow("leading space missing") << " indented"
                                           << "indented";
    QTest::newRow("other case") << "We like tea."
                                << "we like tea.";
    QTest::newRow("kana for kanji") << "今日"
                                    << "きょう";
    QTest::newRow("katakana for hiragana") << "ねこ"
                                           << "ネコ";
}

void TimedTest::judgingIsExact() {
    QFETCH(QString, line);
    QFETCH(QString, typed);
    Game g(TextLanguage::Japanese);
    QVERIFY(g.ready({line}));
    g.enter();
    QCOMPARE(g.shownLine(), line);
    g.typeAndEnter(typed);
    QCOMPARE(g.caption("lblBatsu"), QStringLiteral("× 1"));
    QCOMPARE(g.caption("lblMaru"), QStringLiteral("○ 0"));
    // Corrected, the line counts right; the wrong one stays counted.
    g.erase();
    g.typeAndEnter(line);
    QCOMPARE(g.caption("lblMaru"), QStringLiteral("○ 1"));
    QCOMPARE(g.caption("lblBatsu"), QStringLiteral("× 1"));
}

// The Enter that confirms a conversion reaches the program only as a key release.
void TimedTest::onlyAKeyPressOfEnterJudges() {
    Game g(TextLanguage::Japanese);
    QVERIFY(g.ready(kThreeLines));
    g.enter();
    commitText(g.f(), kThreeLines[0]);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    sendKeyEvent(g.f(), release);
    QCOMPARE(g.caption("lblMaru"), QStringLiteral("○ 0"));
    QCOMPARE(g.caption("lblBatsu"), QStringLiteral("× 0"));
    QCOMPARE(g.input()->text(), kThreeLines[0]);
    g.enter();
    QCOMPARE(g.caption("lblMaru"), QStringLiteral("○ 1"));
}

// Enters while the clock runs must not restart its second, or fast typing would stop time.
void TimedTest::enterKeepsTheClocksRhythm() {
    Game g(TextLanguage::English);
    QVERIFY(g.ready(kEnglishLines));
    g.enter();
    QVERIFY(g.timer()->isActive());
    // A QTimer started again stops and starts, and says so to its observers.
    int restarts = 0;
    const QPropertyNotifier notifier =
        g.timer()->bindableActive().addNotifier([&restarts] { ++restarts; });
    g.typeAndEnter(kEnglishLines[0]);
    g.typeAndEnter(QStringLiteral("wrong"));
    QCOMPARE(restarts, 0);
    QVERIFY(g.timer()->isActive());
    g.escape();
    QVERIFY(restarts > 0); // the observer does see the clock change
}

void TimedTest::theSameLineMayComeTwiceInARow() {
    Game g(TextLanguage::Japanese);
    QVERIFY(g.ready(kThreeLines));
    g.draw(1);
    g.enter();
    g.typeAndEnter(kThreeLines[1]);
    QCOMPARE(g.shownLine(), kThreeLines[1]);
    QCOMPARE(g.caption("lblMaru"), QStringLiteral("○ 1"));
    QCOMPARE(g.presented(), (QStringList{kThreeLines[1], kThreeLines[1]}));
    QCOMPARE(g.fake.clock.reseeds, 2);
}

void TimedTest::aOneLineTextAlwaysDrawsItsLine() {
    Game g(TextLanguage::Japanese);
    QVERIFY(showActive(g.f()));
    // A longer text first: its later lines stay in the store's higher slots.
    g.open(kThreeLines);
    g.open(QStringList{QStringLiteral("ひとつだけ")});
    QCOMPARE(g.f().practiceText().lastLineIndex, 0);
    // Ctrl shows the text's line, not the earlier text's second line left in slot 1.
    g.ctrl();
    QCOMPARE(g.shownLine(), QStringLiteral("ひとつだけ"));
    g.erase();
    g.fake.clock.randoms = {0.0f, 0.5f, std::nextafter(1.0f, 0.0f)};
    g.typeAndEnter(QStringLiteral("ひとつだけ"));
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(g.shownLine(), QStringLiteral("ひとつだけ"));
        g.typeAndEnter(QStringLiteral("ひとつだけ"));
    }
    QCOMPARE(g.caption("lblMaru"), QStringLiteral("○ 3"));
    QCOMPARE(g.caption("lblBatsu"), QStringLiteral("× 0"));
}

void TimedTest::ctrlRightAfterOpeningShowsSlotOne() {
    QFETCH(TextLanguage, language);
    Game g(language);
    QVERIFY(g.ready(g.lines()));
    g.ctrl();
    QCOMPARE(g.shownLine(), g.lines()[1]);
    QCOMPARE(g.presented(), QStringList{g.lines()[1]});
    QVERIFY(!g.timer()->isActive());
    QCOMPARE(g.caption("lblMaru"), QStringLiteral("○ 0"));
    g.ctrl();
    QCOMPARE(g.presented(), (QStringList{g.lines()[1], g.lines()[1]}));
    // The starting Enter is judged against that line.
    g.enter();
    QCOMPARE(g.caption("lblBatsu"), QStringLiteral("× 1"));
    QVERIFY(g.timer()->isActive());
    g.draw(0);
    g.typeAndEnter(g.lines()[1]);
    QCOMPARE(g.caption("lblMaru"), QStringLiteral("○ 0"));
    QCOMPARE(g.shownLine(), g.lines()[0]);
}

void TimedTest::ctrlOfCtrlOShowsTheLineBeforeTheDialog() {
    Game g(TextLanguage::Japanese);
    QVERIFY(g.ready(kThreeLines));
    g.draw(2);
    g.enter();
    g.fake.clipboard.texts.clear();
    g.fake.dialogs.openResults.push_back(g.files.write(QStringList{QStringLiteral("新しい行")}));
    // keyClick presses Ctrl itself before O, as the keyboard does.
    QTest::keyClick(g.f().windowHandle(), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(g.fake.dialogs.openCalls.size(), 2);
    // The line was copied first; then the reading emptied the display.
    QCOMPARE(g.fake.clipboard.texts, QStringList{kThreeLines[2]});
    QCOMPARE(g.shownLine(), QString());
    QCOMPARE(g.f().practiceText().lineSlots[0], QStringLiteral("新しい行"));
}

void TimedTest::ctrlWorksWithoutAText() {
    Game g(TextLanguage::Japanese);
    QVERIFY(showActive(g.f()));
    g.ctrl();
    QCOMPARE(g.shownLine(), QString());
    QCOMPARE(g.fake.clipboard.texts, QStringList{QString()});
    QVERIFY(!g.timer()->isActive());
}

void TimedTest::theEndLocksTheInputUntilEscape() {
    Game g(TextLanguage::Japanese);
    QVERIFY(g.ready(kThreeLines));
    g.enter();
    g.type(QStringLiteral("途中"));
    g.runOut();
    QVERIFY(g.input()->isReadOnly());
    QCOMPARE(g.fake.clipboard.text(), QStringLiteral("得点 0"));
    g.type(QStringLiteral("abc"));
    commitText(g.f(), QStringLiteral("もっと"));
    QCOMPARE(g.input()->text(), QStringLiteral("途中"));
    // Enter after the end judges nothing and starts nothing.
    g.enter();
    QVERIFY(!g.timer()->isActive());
    QCOMPARE(g.caption("lblBatsu"), QStringLiteral("× 0"));
    QCOMPARE(g.caption("lblTime"), QStringLiteral("TIME 0"));
    QVERIFY(g.fake.sound.played.isEmpty());
    QCOMPARE(g.fake.clipboard.text(), QStringLiteral("得点 0"));
    g.escape();
    QVERIFY(!g.input()->isReadOnly());
    QCOMPARE(g.input()->text(), QString());
    g.type(QStringLiteral("abc"));
    QCOMPARE(g.input()->text(), QStringLiteral("abc"));
}

void TimedTest::ctrlAfterTheEndShowsTheLineAgain() {
    QFETCH(TextLanguage, language);
    Game g(language);
    QVERIFY(g.ready(g.lines()));
    g.draw(2);
    g.enter();
    g.runOut();
    QCOMPARE(g.shownLine(), g.endText());
    g.ctrl();
    QCOMPARE(g.shownLine(), g.lines()[2]);
    QCOMPARE(g.lastPresented(), g.lines()[2]);
    QVERIFY(g.input()->isReadOnly());
    QVERIFY(g.shown("lblTokuten"));
    QVERIFY(!g.timer()->isActive());
}

void TimedTest::escapeDuringAGameStartsAfresh() {
    QFETCH(TextLanguage, language);
    Game g(language);
    QVERIFY(g.ready(g.lines()));
    g.action("mnu5M")->trigger();
    g.draw(2);
    g.enter();
    g.typeAndEnter(g.lines()[2]);
    g.typeAndEnter(QStringLiteral("zz"));
    g.tick(100);
    QVERIFY(g.shape("shpScale")->width() < g.shape("shpBox")->width());
    const QString title = g.f().windowTitle();
    g.escape();
    QVERIFY(!g.timer()->isActive());
    QCOMPARE(g.caption("lblTime"), QStringLiteral("TIME 300"));
    QCOMPARE(g.shape("shpScale")->width(), g.shape("shpBox")->width());
    QCOMPARE(g.caption("lblMaru"), QStringLiteral("○ 0"));
    QCOMPARE(g.caption("lblBatsu"), QStringLiteral("× 0"));
    QCOMPARE(g.shownLine(), QString());
    QCOMPARE(g.input()->text(), QString());
    QVERIFY(!g.input()->isReadOnly());
    QVERIFY(!g.shown("lblTokuten"));
    // What stays: the text, the position, the time limit, the bar colour and the title.
    QVERIFY(g.f().practiceText().hasText());
    QCOMPARE(g.f().practiceText().linePosition, 2);
    QCOMPARE(g.f().timeLimit(), 300);
    QCOMPARE(g.shape("shpScale")->fillColor(), QColor(0, 255, 0));
    QCOMPARE(g.f().windowTitle(), title);
    // The next Enter starts a clean game.
    g.draw(0);
    g.enter();
    QCOMPARE(g.shownLine(), g.lines()[0]);
    QCOMPARE(g.caption("lblMaru"), QStringLiteral("○ 0"));
    g.tick();
    QCOMPARE(g.caption("lblTime"), QStringLiteral("TIME 299"));
}

void TimedTest::aTimeChoiceDuringAGame_data() {
    QTest::addColumn<TextLanguage>("language");
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QColor>("color");
    QTest::addColumn<QString>("title");
    const auto j = TextLanguage::Japanese;
    const auto e = TextLanguage::English;
    QTest::newRow("Japanese, 1 minute")
        << j << "mnu1M" << 60 << QColor(255, 0, 0) << "応用日本語入力　１分";
    QTest::newRow("Japanese, 3 minutes")
        << j << "mnu3M" << 180 << QColor(0, 0, 255) << "応用日本語入力　３分";
    QTest::newRow("Japanese, 5 minutes")
        << j << "mnu5M" << 300 << QColor(0, 255, 0) << "応用日本語入力　５分";
    QTest::newRow("English, 1 minute")
        << e << "mnu1M" << 60 << QColor(255, 0, 0) << "ENGLISH One Minute";
    QTest::newRow("English, 3 minutes")
        << e << "mnu3M" << 180 << QColor(0, 0, 255) << "ENGLISH Three Minutes";
    QTest::newRow("English, 5 minutes")
        << e << "mnu5M" << 300 << QColor(0, 255, 0) << "ENGLISH Five Minutes";
}

void TimedTest::aTimeChoiceDuringAGame() {
    QFETCH(TextLanguage, language);
    QFETCH(QString, item);
    QFETCH(int, seconds);
    QFETCH(QColor, color);
    QFETCH(QString, title);
    Game g(language);
    QVERIFY(g.ready(g.lines()));
    g.enter();
    g.typeAndEnter(g.lines()[0]);
    g.typeAndEnter(QStringLiteral("no"));
    g.tick(90); // half of three minutes
    const int boxWidth = g.shape("shpBox")->width();
    const int halfWidth = g.shape("shpScale")->width();
    QVERIFY(std::abs(halfWidth - boxWidth / 2) <= 1);

    g.action(qPrintable(item))->trigger();
    QCOMPARE(g.f().windowTitle(), title);
    QCOMPARE(g.caption("lblTime"), QStringLiteral("TIME %1").arg(seconds));
    // The colour at once, the length at the next tick.
    QCOMPARE(g.shape("shpScale")->fillColor(), color);
    QCOMPARE(g.shape("shpScale")->width(), halfWidth);
    QVERIFY(g.timer()->isActive());
    QCOMPARE(g.caption("lblMaru"), QStringLiteral("○ 1"));
    QCOMPARE(g.caption("lblBatsu"), QStringLiteral("× 1"));
    g.tick(seconds / 2);
    QCOMPARE(g.caption("lblTime"), QStringLiteral("TIME %1").arg(seconds / 2));
    QVERIFY(std::abs(g.shape("shpScale")->width() - boxWidth / 2) <= 1);
    g.tick(seconds / 2);
    QCOMPARE(g.caption("lblTokuten"), g.score(0));
    QCOMPARE(g.shape("shpScale")->width(), 0);
}

// After the end a time choice gives the clock time again but leaves the end standing: Enter
// judges the locked input against the end text. Escape is the way to a clean game.
void TimedTest::aTimeChoiceAfterTheEndKeepsTheLock() {
    Game g(TextLanguage::Japanese);
    QVERIFY(g.ready(kThreeLines));
    g.enter();
    g.runOut();
    g.action("mnu1M")->trigger();
    QCOMPARE(g.caption("lblTime"), QStringLiteral("TIME 60"));
    QVERIFY(!g.timer()->isActive());
    QVERIFY(g.input()->isReadOnly());
    QCOMPARE(g.shownLine(), QStringLiteral("おしまい  RESET!"));
    g.enter();
    QVERIFY(g.timer()->isActive());
    QCOMPARE(g.caption("lblBatsu"), QStringLiteral("× 1"));
    g.escape();
    QCOMPARE(g.caption("lblTime"), QStringLiteral("TIME 60"));
    QVERIFY(!g.input()->isReadOnly());
    QCOMPARE(g.shape("shpScale")->fillColor(), QColor(255, 0, 0));
}

void TimedTest::openingDuringAGameKeepsCountsAndClock() {
    Game g(TextLanguage::English);
    QVERIFY(g.ready(kEnglishLines));
    g.enter();
    g.typeAndEnter(kEnglishLines[0]);
    g.typeAndEnter(QStringLiteral("oops"));
    g.tick(3);
    g.open(QStringList{QStringLiteral("first"), QStringLiteral("second")});
    QCOMPARE(g.shownLine(), QString());
    QVERIFY(g.timer()->isActive());
    QCOMPARE(g.caption("lblMaru"), QStringLiteral("○ 1"));
    QCOMPARE(g.caption("lblBatsu"), QStringLiteral("× 1"));
    QCOMPARE(g.caption("lblTime"), QStringLiteral("TIME 177"));
    QCOMPARE(g.f().practiceText().linePosition, 1);
    QCOMPARE(g.input()->text(), QStringLiteral("oops"));
    // The kept input no longer matches the empty display; emptied, it draws from the new text.
    g.erase();
    g.draw(1, 2);
    g.enter();
    QCOMPARE(g.shownLine(), QStringLiteral("second"));
    QCOMPARE(g.caption("lblMaru"), QStringLiteral("○ 2"));
}

void TimedTest::resizingDrawsTheBarFull() {
    Game g(TextLanguage::Japanese);
    QVERIFY(g.ready(kThreeLines));
    g.enter();
    g.runOut();
    QCOMPARE(g.shape("shpScale")->width(), 0);
    const int before = g.shape("shpBox")->width();
    g.f().resize(g.f().width() - 40, g.f().height() - 30);
    QCoreApplication::processEvents();
    QCOMPARE(g.shape("shpBox")->width(), g.f().client()->width());
    QVERIFY(g.shape("shpBox")->width() < before);
    QCOMPARE(g.shape("shpScale")->width(), g.shape("shpBox")->width());
    QCOMPARE(g.caption("lblTime"), QStringLiteral("TIME 0"));
}

void TimedTest::reopeningAfterClosingMidGame() {
    QFETCH(TextLanguage, language);
    Game g(language);
    QVERIFY(g.ready(g.lines()));
    g.action("mnu1M")->trigger();
    g.enter();
    g.typeAndEnter(g.lines()[0]);
    g.typeAndEnter(QStringLiteral("no"));
    g.tick(10);
    g.action("mnuEnd")->trigger();
    QVERIFY(!g.f().isLoaded());

    QVERIFY(showActive(g.f()));
    QCOMPARE(g.caption("lblTime"), QStringLiteral("TIME 180"));
    QCOMPARE(g.f().timeLimit(), 180);
    QCOMPARE(g.caption("lblMaru"), QStringLiteral("○ 0"));
    QCOMPARE(g.caption("lblBatsu"), QStringLiteral("× 0"));
    QCOMPARE(g.shownLine(), QString());
    QCOMPARE(g.input()->text(), QString());
    QVERIFY(!g.timer()->isActive());
    QCOMPARE(g.f().windowTitle(), g.japanese() ? QStringLiteral("応用日本語入力　３分")
                                               : QStringLiteral("ENGLISH Three Minute"));
    QCOMPARE(g.shape("shpScale")->fillColor(), QColor(0, 0, 255));
    QVERIFY(g.f().practiceText().hasText());
    if (!g.japanese())
        QCOMPARE(g.fake.speech.voicesCreated, 2);
    // The text chosen before is there: Enter starts a game at once.
    g.draw(2);
    g.enter();
    QVERIFY(g.timer()->isActive());
    QCOMPARE(g.shownLine(), g.lines()[2]);
    QCOMPARE(g.lastPresented(), g.lines()[2]);
}

void TimedTest::cancellingInAReopenedWindowForgetsTheText() {
    Game g(TextLanguage::Japanese);
    QVERIFY(g.ready(kThreeLines));
    g.action("mnuEnd")->trigger();
    QVERIFY(showActive(g.f()));
    g.enter(); // a game with the kept text
    QVERIFY(g.timer()->isActive());
    g.cancelOpen();
    QCOMPARE(g.fake.dialogs.openCalls.last().startName, QString());
    QVERIFY(!g.f().practiceText().hasText());
    // The next tick stops the clock; Enter does nothing until a text is opened.
    g.tick();
    QVERIFY(!g.timer()->isActive());
    QCOMPARE(g.caption("lblTime"), QStringLiteral("TIME 179"));
    g.enter();
    QVERIFY(!g.timer()->isActive());
    QCOMPARE(g.caption("lblMaru"), QStringLiteral("○ 0"));
    g.open(kThreeLines);
    g.enter();
    QVERIFY(g.timer()->isActive());
}

void TimedTest::englishNeverTouchesTheClipboard() {
    Game g(TextLanguage::English);
    QVERIFY(g.ready(kEnglishLines));
    g.fake.clock.randoms = {0.0f, 0.9f};
    g.ctrl();
    g.erase();
    g.enter(); // wrong: the display shows slot 1 now
    g.escape();
    g.enter();                        // starting Enter: slot 0
    g.typeAndEnter(kEnglishLines[0]); // slot 2
    g.ctrl();
    g.ctrl();
    g.typeAndEnter(QStringLiteral("We like Tea."));
    g.runOut();
    QCOMPARE(g.fake.speech.spoken,
             (QStringList{kEnglishLines[1], kEnglishLines[0], kEnglishLines[2], kEnglishLines[2],
                          kEnglishLines[2], QStringLiteral("GAME OVER.  RESET!"),
                          QStringLiteral("SCORE 0")}));
    QCOMPARE(g.fake.sound.played, (QStringList{"\\boo.wav", "\\boo.wav"}));
    QVERIFY(g.fake.clipboard.texts.isEmpty());
}

void TimedTest::englishWithoutSpeechStillPlays() {
    Game g(TextLanguage::English);
    g.fake.speech.available = false;
    QVERIFY(g.ready(kEnglishLines));
    g.enter();
    g.typeAndEnter(kEnglishLines[0]);
    g.ctrl();
    g.runOut();
    QCOMPARE(g.caption("lblTokuten"), QStringLiteral("SCORE 1"));
    QVERIFY(g.fake.speech.spoken.isEmpty());
    QVERIFY(g.fake.clipboard.texts.isEmpty());
}

// However many Enters a game sees, the 16-bit counts never wrap round to negative numbers.
void TimedTest::countsStopAt32767() {
    Game g(TextLanguage::English);
    QVERIFY(g.ready({QString()})); // one blank line: every Enter on the empty input is right
    for (int i = 0; i < 32770; ++i)
        g.f().Form_KeyDown(vk::Enter, 0);
    QCOMPARE(int(g.f().rightCount()), 32767);
    QCOMPARE(g.caption("lblMaru"), QStringLiteral("○ 32766"));
    g.type(QStringLiteral("x"));
    for (int i = 0; i < 32770; ++i)
        g.f().Form_KeyDown(vk::Enter, 0);
    QCOMPARE(int(g.f().wrongCount()), 32767);
    QCOMPARE(g.caption("lblBatsu"), QStringLiteral("× 32767"));
    g.runOut();
    QCOMPARE(g.caption("lblTokuten"), QStringLiteral("SCORE -1"));
}

void TimedTest::layoutReachesPastTheRightEdge() {
    Game g(TextLanguage::Japanese);
    QVERIFY(showActive(g.f()));
    QWidget* client = g.f().client();
    auto* frame = control<QFrame>(g.f(), QStringLiteral("Frame1"));
    QCOMPARE(frame->width(), client->width());
    QCOMPARE(frame->x(), 0);
    // Both boxes are w wide from 0.05 w: each is cut off at its parent's right edge.
    QVERIFY(g.display()->geometry().right() > frame->width());
    QVERIFY(g.input()->geometry().right() > client->width());
    QCOMPARE(g.display()->width(), g.input()->width());
    QCOMPARE(g.display()->x(), g.input()->x());
    // The bar lies along the band's lower edge, across the whole inner width.
    QCOMPARE(g.shape("shpBox")->width(), client->width());
    QCOMPARE(g.shape("shpBox")->geometry(), g.shape("shpScale")->geometry());
    QVERIFY(std::abs(g.shape("shpBox")->y() - frame->geometry().bottom()) <= 2);
    // The input box is drawn over the band, the bar over both.
    const QObjectList order = client->children();
    QVERIFY(order.indexOf(frame) < order.indexOf(g.input()));
    QVERIFY(order.indexOf(g.shape("shpBox")) < order.indexOf(g.shape("shpScale")));
    // The score sits right of the counts, the key guide under the time.
    QVERIFY(g.label("lblTokuten")->x() > g.label("lblMaru")->x());
    QCOMPARE(g.label("lblKey_Guide")->x(), g.label("lblTime")->x());
    QVERIFY(g.label("lblKey_Guide")->y() > g.label("lblTime")->y());
    QCOMPARE(g.crowdingTheResults(), QStringList());
}

// A one-minute game, one line right and one wrong: 10 characters right of 21 (Japanese), 19 of
// 40 (English), over the minute of its limit. Shown at the time-out, said to the screen reader
// after the window's own end texts, never on the clipboard or in the voice; cleared by Escape
// and by a game that goes on after a time choice.
void TimedTest::theEndShowsAndAnnouncesTheResults() {
    QFETCH(TextLanguage, language);
    Game g(language);
    QVERIFY(g.ready(g.lines()));
    g.action("mnu1M")->trigger();
    g.enter();
    g.draw(1);
    g.typeAndEnter(g.lines()[0]);
    g.typeAndEnter(QStringLiteral("x"));
    g.tick(59);
    QVERIFY(!g.shown("lblKekka"));
    g.tick();
    QVERIFY(g.shown("lblKekka"));
    QCOMPARE(g.caption("lblKekka"), g.japanese() ? QStringLiteral("10字/分　正確さ 47%\n10分 100字")
                                                 : QStringLiteral("3 WPM\nAccuracy 47%"));
    QCoreApplication::processEvents();
    const QString sep = QStringLiteral("、");
    const QString spoken = g.japanese() ? QStringLiteral("10字/分　正確さ 47%　10分 100字")
                                        : QStringLiteral("3 WPM, Accuracy 47%");
    QCOMPARE(g.fake.announcer.texts.last(),
             g.japanese() ? g.endText() + sep + g.score(0) + sep + spoken : spoken);
    const QString word = g.japanese() ? QStringLiteral("正確さ") : QStringLiteral("Accuracy");
    for (const QString& handedOn : g.fake.clipboard.texts + g.fake.speech.spoken)
        QVERIFY2(!handedOn.contains(word), qPrintable(handedOn));

    g.escape();
    QVERIFY(!g.shown("lblKekka"));
    QCOMPARE(g.caption("lblKekka"), QString());
    // The next game counts only its own lines: none judged.
    g.enter();
    g.runOut();
    QCOMPARE(g.caption("lblKekka"),
             g.japanese() ? QStringLiteral("0字/分\n10分 0字") : QStringLiteral("0 WPM"));
    g.action("mnu3M")->trigger();
    g.enter();
    QVERIFY(!g.shown("lblKekka"));
}

QTEST_MAIN(TimedTest)
#include "tst_timed.moc"

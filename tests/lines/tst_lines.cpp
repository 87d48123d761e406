// The two line practices driven with real key events on the fake platform and the fake clock.

#include "TextWindowTest.h"

#include "common/Layout.h"
#include "drawing/InputBox.h"
#include "lines/frmEnglish_1.h"
#include "lines/frmJapanese_1.h"
#include "text/CompositionAnnouncer.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QFrame>
#include <QInputMethodEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace tokotoko;
using namespace tokotoko::test;

namespace {

const QString kJapaneseEnd = QStringLiteral("おしまい RESET");
const QString kEnglishEnd = QStringLiteral("GAME OVER. RESET");

struct Fixture : TextWindowDriver<LinePractice, frmJapanese_1, frmEnglish_1> {
    using TextWindowDriver::TextWindowDriver;

    QString label(const char* name) const { return caption(name); }
    void tick(int seconds) {
        fake.clock.advance(seconds);
        form->Timer1_Timer();
    }
    // One second of the wall clock, with the tick that the running timer would give.
    void second() {
        fake.clock.advance(1);
        if (timer()->isActive())
            form->Timer1_Timer();
    }
    QString endText() const { return japanese() ? kJapaneseEnd : kEnglishEnd; }
};

void addLanguageRows() {
    test::addLanguageRows("frmJapanese_1", "frmEnglish_1");
}

const QStringList kJapaneseLines{QStringLiteral("今日は晴れです。"),
                                 QStringLiteral("ＡＢＣと　全角の空白"),
                                 QStringLiteral("ｶﾀｶﾅ と \\ と ～")};
const QStringList kEnglishLines{QStringLiteral("The sun is up."),
                                QStringLiteral("  two leading spaces"),
                                QStringLiteral("Tea, please!")};

const QStringList& linesFor(TextLanguage language) {
    return language == TextLanguage::Japanese ? kJapaneseLines : kEnglishLines;
}

} // namespace

class LinesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void loadShowsAnEmptyRun_data() { addLanguageRows(); }
    void loadShowsAnEmptyRun();
    void workedExampleRowByRow_data() { addLanguageRows(); }
    void workedExampleRowByRow();
    void eachEnterIsAnnouncedOnce_data() { addLanguageRows(); }
    void eachEnterIsAnnouncedOnce();
    void judgingIsExact_data();
    void judgingIsExact();
    void typingBeforeTheStartingEnterIsWrong_data() { addLanguageRows(); }
    void typingBeforeTheStartingEnterIsWrong();
    void enterWithoutATextDoesNothing();
    void endComparesWithTheLastLineNotTheShownOne_data() { addLanguageRows(); }
    void endComparesWithTheLastLineNotTheShownOne();
    void lastLineEmptyEndsAtTheFirstEnter();
    void endedRunFinishesAgainUntilEsc();
    void escResetsButKeepsTheText_data() { addLanguageRows(); }
    void escResetsButKeepsTheText();
    void timerShowsTheSpanAndStops();
    void timerStopsWhenTheInputEqualsTheLastLine();
    void timerStopsWhenTheTextIsGone();
    void endTimeIsTheLastTicks();
    void runAcrossMidnightIsTimedRight();
    void elapsedTextWrapsAtTheHour_data();
    void elapsedTextWrapsAtTheHour();
    void slotZeroShownAgainRestartsTheClock();
    void reopeningKeepsTheTextAndStartsFromTheTop_data() { addLanguageRows(); }
    void reopeningKeepsTheTextAndStartsFromTheTop();
    void openingDuringARunKeepsTheCounts();
    void committedTextIsJudgedOnARealEnter();
    void compositionIsAnnouncedOnlyInJapanese_data() { addLanguageRows(); }
    void compositionIsAnnouncedOnlyInJapanese();
    void anEnterReleaseAloneNeverJudges();
    void enterNeverReachesTheInputBox();
    void ctrlCopiesTheShownLineBeforeCtrlO();
    void englishSpeaksInOrderWithCtrlTwice();
    void englishWithoutVoiceStaysSilent();
    void layoutFollowsTheTable();
    void textStaysInsideTheWindow();
    void wrongLinesStopAtTheLargestCount_data() { addLanguageRows(); }
    void wrongLinesStopAtTheLargestCount();
    void aTabInTheInputBoxIsTyped_data() { addLanguageRows(); }
    void aTabInTheInputBoxIsTyped();
    void escAfterTheEndPutsHiraganaBack();
    void theEndShowsAndAnnouncesTheResults_data() { addLanguageRows(); }
    void theEndShowsAndAnnouncesTheResults();
    void resultsAreTimedToTheEnterThatEnds();
    void resultsFitTheirPlace_data() { addLanguageRows(); }
    void resultsFitTheirPlace();
};

void LinesTest::loadShowsAnEmptyRun() {
    QFETCH(TextLanguage, language);
    Fixture f(language);
    QVERIFY(f.show());
    const bool japanese = language == TextLanguage::Japanese;
    QCOMPARE(f.form->windowTitle(), japanese ? QStringLiteral("応用日本語入力　１")
                                             : QStringLiteral("ENGLISH Three Minute"));
    QCOMPARE(f.form->client()->palette().color(QPalette::Window),
             japanese ? QColor(0, 0, 128) : QColor(128, 0, 0));
    QCOMPARE(f.label("lblMaru"), QStringLiteral("○ 0"));
    QCOMPARE(f.label("lblBatsu"), QStringLiteral("× 0"));
    QCOMPARE(f.label("lblTime"), QStringLiteral("00分00秒"));
    QCOMPARE(f.label("lblGyosu"), QString());
    QCOMPARE(f.label("lblKey_Guide"), QStringLiteral("Esc:RESET\nCtrl:REPEAT"));
    QVERIFY(!f.timer()->isActive());
    QCOMPARE(f.timer()->interval(), 1000);
    QVERIFY(f.form->keyPreview());
    QCOMPARE(QApplication::focusWidget(), f.input());
    QCOMPARE(f.input()->palette().color(QPalette::Base), QColor(0, 0, 0));
    QCOMPARE(f.input()->textColour(), QColor(255, 255, 0));
    QCOMPARE(f.display()->palette().color(QPalette::Text), QColor(255, 255, 255));
    QCOMPARE(f.input()->compositionAllowed(), japanese);
    QCOMPARE(f.input()->font().pointSizeF(), 80.25);
    // lblGyosu is the one label whose face differs between the two windows.
    QCOMPARE(f.control<QLabel>("lblGyosu")->font().families(),
             japanese ? f.control<QLabel>("lblMaru")->font().families()
                      : f.control<QLabel>("lblKey_Guide")->font().families());
    for (const char* name :
         {"txtHyoji", "txtNyuryoku", "lblMaru", "lblBatsu", "lblGyosu", "lblTime"})
        QVERIFY2(!f.control<QWidget>(name)->accessibleName().isEmpty(), name);
    QCOMPARE(f.fake.speech.voicesCreated, japanese ? 0 : 1);
    if (!japanese)
        QCOMPARE(f.fake.speech.volumes, QList<int>{100});
    QVERIFY(f.fake.sound.prepared.contains(f.cue()));
}

// Three lines, just loaded: the rows of the counting table, one Enter each.
void LinesTest::workedExampleRowByRow() {
    QFETCH(TextLanguage, language);
    Fixture f(language);
    QVERIFY(f.show());
    const QStringList& lines = linesFor(language);
    f.fake.clock.time = 10 * 3600;
    f.open(lines);
    QCOMPARE(f.form->practiceText().lastLineIndex, 2);

    struct Row {
        QString typed;
        int rightCount;
        QString display;
        QString maru;
        QString gyosu;
        bool timerOn;
    };
    const QList<Row> rows{
        {QString(), 1, lines[0], QStringLiteral("○ 0"), QStringLiteral("練習数3"), false},
        {lines[0], 2, lines[1], QStringLiteral("○ 1"), QStringLiteral("練習数2"), true},
        {lines[1], 3, lines[2], QStringLiteral("○ 2"), QStringLiteral("練習数1"), true},
        {lines[2], 3, f.endText(), QStringLiteral("○ 3"), QStringLiteral("練習数0"), true},
    };
    for (int i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        f.enterLine(row.typed);
        const QByteArray where = "row " + QByteArray::number(i);
        QVERIFY2(f.form->rightCount() == row.rightCount, where);
        QVERIFY2(f.display()->text() == row.display, where);
        QVERIFY2(f.label("lblMaru") == row.maru, where);
        QVERIFY2(f.label("lblGyosu") == row.gyosu, where);
        QVERIFY2(f.timer()->isActive() == row.timerOn, where);
        QVERIFY2(f.label("lblBatsu") == QStringLiteral("× 0"), where);
        if (i == 0)
            QCOMPARE(f.form->startTime(), 10 * 3600);
        if (i < 3)
            QVERIFY2(f.input()->text().isEmpty(), where);
        f.second();
    }
    QVERIFY(f.input()->isReadOnly());
    QVERIFY(f.fake.sound.played.isEmpty());
    QStringList shown = lines;
    shown << f.endText();
    if (language == TextLanguage::Japanese)
        shown << QStringLiteral("00分03秒"); // the time replaces the end text on the clipboard
    QCOMPARE(f.presented(), shown);
    QCOMPARE(f.fake.clipboard.text(), QStringLiteral("00分03秒"));
    QCOMPARE(f.label("lblTime"), QStringLiteral("00分04秒")); // the tick after the end
    QVERIFY(!f.timer()->isActive());
}

// The screen reader hears the verdict with the counts shown, then what goes to the clipboard;
// an English line only from the window's own voice. At the end it hears the results last: no
// time passed, so accuracy alone (30 characters right of 38 judged).
void LinesTest::eachEnterIsAnnouncedOnce() {
    QFETCH(TextLanguage, language);
    Fixture f(language);
    QVERIFY(f.show());
    const QStringList& lines = linesFor(language);
    f.open(lines);
    f.fake.clearRecords();
    f.enterLine(QString());
    f.enterLine(QStringLiteral("x"));
    f.input()->clear();
    for (const QString& line : lines)
        f.enterLine(line);
    const QString right = f.japanese() ? QStringLiteral("正解") : QStringLiteral("Right");
    const QString wrong = f.japanese() ? QStringLiteral("まちがい") : QStringLiteral("Wrong");
    const QString sep = QStringLiteral("、");
    const QStringList expected =
        f.japanese()
            ? QStringList{lines[0], wrong + QStringLiteral(" ○ 0 × 1"),
                          right + QStringLiteral(" ○ 1 × 1") + sep + lines[1],
                          right + QStringLiteral(" ○ 2 × 1") + sep + lines[2],
                          f.endText() + sep + QStringLiteral("00分00秒") + sep +
                              QStringLiteral("正確さ 78%")}
            : QStringList{wrong + QStringLiteral(" ○ 0 × 1"), right + QStringLiteral(" ○ 1 × 1"),
                          right + QStringLiteral(" ○ 2 × 1"),
                          QStringLiteral("00分00秒") + sep + QStringLiteral("Accuracy 76%")};
    QCOMPARE(f.fake.announcer.texts, expected);
}

void LinesTest::judgingIsExact_data() {
    QTest::addColumn<TextLanguage>("language");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("right");
    const auto ja = TextLanguage::Japanese;
    const auto en = TextLanguage::English;
    QTest::newRow("same") << en << "Tea, please!"
                          << "Tea, please!" << true;
    QTest::newRow("case") << en << "Tea, please!"
                          << "tea, please!" << false;
    QTest::newRow("trailing space missing") << en << "Tea "
                                            << "Tea" << false;
    QTest::newRow("trailing space added") << en << "Tea"
                                          << "Tea " << false;
    QTest::newRow("full-width letter") << ja << "ABC"
                                       << "ＡＢＣ" << false;
    QTest::newRow("full-width space") << ja << "a　b"
                                      << "a b" << false;
    QTest::newRow("kana for kanji") << ja << "今日は"
                                    << "きょうは" << false;
    QTest::newRow("half-width katakana") << ja << "ｶﾅ"
                                         << "カナ" << false;
    QTest::newRow("yen sign for backslash") << ja << "C:\\"
                                            << "C:¥" << false;
    QTest::newRow("wave dash") << ja << "～"
                               << "〜" << false;
    QTest::newRow("japanese same") << ja << "今日は　晴れ"
                                   << "今日は　晴れ" << true;
}

void LinesTest::judgingIsExact() {
    QFETCH(TextLanguage, language);
    QFETCH(QString, line);
    QFETCH(QString, typed);
    QFETCH(bool, right);
    Fixture f(language);
    QVERIFY(f.show());
    f.open(QStringList{line, QStringLiteral("next line"), QStringLiteral("last")});
    f.enter();
    QCOMPARE(f.display()->text(), line);
    f.enterLine(typed);
    QCOMPARE(f.form->rightCount(), right ? 2 : 1);
    QCOMPARE(f.form->wrongCount(), right ? 0 : 1);
    QCOMPARE(f.display()->text(), right ? QStringLiteral("next line") : line);
}

// A wrong Enter counts, sounds the cue, and changes nothing else; the learner corrects the
// line in place.
void LinesTest::typingBeforeTheStartingEnterIsWrong() {
    QFETCH(TextLanguage, language);
    Fixture f(language);
    QVERIFY(f.show());
    f.open(linesFor(language));
    f.enterLine(QStringLiteral("x"));
    QCOMPARE(f.form->wrongCount(), 1);
    QCOMPARE(f.label("lblBatsu"), QStringLiteral("× 1"));
    QCOMPARE(f.form->rightCount(), 0);
    QCOMPARE(f.display()->text(), QString());
    QCOMPARE(f.input()->text(), QStringLiteral("x"));
    QCOMPARE(f.fake.sound.played, QStringList{f.cue()});
    QCOMPARE(f.label("lblGyosu"), QString());

    pressKey(*f.form, Qt::Key_Backspace);
    f.enter();                        // the starting Enter
    f.enterLine(QStringLiteral("y")); // wrong against the first line
    QCOMPARE(f.form->wrongCount(), 2);
    QCOMPARE(f.label("lblBatsu"), QStringLiteral("× 2"));
    QCOMPARE(f.label("lblMaru"), QStringLiteral("○ 0"));
    QCOMPARE(f.label("lblGyosu"), QStringLiteral("練習数3"));
    QCOMPARE(f.display()->text(), linesFor(language)[0]);
    QCOMPARE(f.input()->text(), QStringLiteral("y"));
    QCOMPARE(f.fake.sound.played, (QStringList{f.cue(), f.cue()}));
    QCOMPARE(f.presented(), QStringList{linesFor(language)[0]});
}

void LinesTest::enterWithoutATextDoesNothing() {
    Fixture f(TextLanguage::Japanese);
    QVERIFY(f.show());
    f.enterLine(QStringLiteral("abc"));
    f.enter();
    QCOMPARE(f.form->rightCount(), 0);
    QCOMPARE(f.form->wrongCount(), 0);
    QVERIFY(f.fake.sound.played.isEmpty());
    QVERIFY(f.fake.clipboard.texts.isEmpty());
    QVERIFY(!f.timer()->isActive());
    QCOMPARE(f.input()->text(), QStringLiteral("abc"));
}

void LinesTest::endComparesWithTheLastLineNotTheShownOne() {
    QFETCH(TextLanguage, language);
    Fixture f(language);
    QVERIFY(f.show());
    const QStringList& lines = linesFor(language);
    f.open(lines);
    f.enter();
    QCOMPARE(f.display()->text(), lines[0]);
    f.enterLine(lines[2]);
    QCOMPARE(f.display()->text(), f.endText());
    QCOMPARE(f.label("lblGyosu"), QStringLiteral("練習数0"));
    QCOMPARE(f.label("lblMaru"), QStringLiteral("○ 1"));
    QCOMPARE(f.form->rightCount(), 1);
    QCOMPARE(f.form->wrongCount(), 0);
    QVERIFY(f.input()->isReadOnly());
    QCOMPARE(f.input()->text(), lines[2]);
    QCOMPARE(f.fake.clipboard.text(), QStringLiteral("00分00秒"));
    if (language == TextLanguage::English) {
        // The time is the English window's only clipboard text.
        QCOMPARE(f.fake.clipboard.texts, QStringList{QStringLiteral("00分00秒")});
        QCOMPARE(f.fake.speech.spoken, (QStringList{lines[0], kEnglishEnd}));
    }
    // Locked: neither keys nor the input method change the input until Esc.
    typeText(*f.form, QStringLiteral("zz"));
    commitText(*f.form, QStringLiteral("漢字"));
    QCOMPARE(f.input()->text(), lines[2]);
}

void LinesTest::lastLineEmptyEndsAtTheFirstEnter() {
    Fixture f(TextLanguage::Japanese);
    QVERIFY(f.show());
    f.open(QByteArray("first\r\nsecond\r\n\r\n"));
    QCOMPARE(f.form->practiceText().linesRead, 3);
    QCOMPARE(f.form->practiceText().lastLine(), QString());
    f.enter();
    QCOMPARE(f.display()->text(), kJapaneseEnd);
    QCOMPARE(f.form->rightCount(), 0);
    QCOMPARE(f.label("lblMaru"), QStringLiteral("○ 0"));
    QCOMPARE(f.label("lblGyosu"), QStringLiteral("練習数0"));
    QCOMPARE(f.fake.clipboard.texts, (QStringList{kJapaneseEnd, QStringLiteral("00分00秒")}));
}

// After the end every Enter finishes again with the same values; only Esc gets out.
void LinesTest::endedRunFinishesAgainUntilEsc() {
    Fixture f(TextLanguage::Japanese);
    QVERIFY(f.show());
    f.open(QStringList{QStringLiteral("a"), QStringLiteral("b")});
    f.enter();
    f.enterLine(QStringLiteral("a"));
    f.tick(5);
    f.enterLine(QStringLiteral("b"));
    const QStringList afterEnd = f.fake.clipboard.texts;
    f.enter();
    QCOMPARE(f.display()->text(), kJapaneseEnd);
    QCOMPARE(f.label("lblMaru"), QStringLiteral("○ 2"));
    QCOMPARE(f.fake.clipboard.texts, afterEnd + afterEnd.mid(afterEnd.size() - 2));
    QCOMPARE(f.fake.clipboard.text(), QStringLiteral("00分05秒"));
    QVERIFY(f.fake.sound.played.isEmpty());
}

void LinesTest::escResetsButKeepsTheText() {
    QFETCH(TextLanguage, language);
    Fixture f(language);
    QVERIFY(f.show());
    const QStringList& lines = linesFor(language);
    f.open(lines);
    f.enter();
    f.enterLine(lines[0]);
    f.enterLine(QStringLiteral("wrong"));
    f.tick(42);
    QCOMPARE(f.label("lblTime"), QStringLiteral("00分42秒"));
    const QStringList presentedBefore = f.presented();

    f.escape();
    QCOMPARE(f.display()->text(), QString());
    QCOMPARE(f.input()->text(), QString());
    QVERIFY(!f.input()->isReadOnly());
    QCOMPARE(f.label("lblMaru"), QStringLiteral("○ 0"));
    QCOMPARE(f.label("lblBatsu"), QStringLiteral("× 0"));
    QCOMPARE(f.label("lblTime"), QStringLiteral("00分00秒"));
    QCOMPARE(f.label("lblGyosu"), QString());
    QCOMPARE(f.form->rightCount(), 0);
    QCOMPARE(f.form->wrongCount(), 0);
    QCOMPARE(f.form->startTime(), 0);
    QCOMPARE(f.form->elapsedSeconds(), 0);
    QVERIFY(!f.timer()->isActive());
    QCOMPARE(f.form->practiceText().linePosition, 0);
    QVERIFY(f.form->practiceText().hasText());
    QCOMPARE(f.presented(), presentedBefore); // Esc presents nothing and purges nothing

    // The same text from its first line; also out of the ended state.
    f.enter();
    QCOMPARE(f.display()->text(), lines[0]);
    f.enterLine(lines[2]);
    QVERIFY(f.input()->isReadOnly());
    f.escape();
    QVERIFY(!f.input()->isReadOnly());
    QCOMPARE(f.input()->text(), QString());
    f.enter();
    QCOMPARE(f.display()->text(), lines[0]);
    QCOMPARE(f.label("lblGyosu"), QStringLiteral("練習数3"));
}

void LinesTest::timerShowsTheSpanAndStops() {
    Fixture f(TextLanguage::English);
    QVERIFY(f.show());
    f.open(kEnglishLines);
    f.enter();
    QVERIFY(!f.timer()->isActive());
    f.fake.clock.advance(1);
    // Any Enter while the first line is shown starts the clock, counting from its showing.
    f.enterLine(QStringLiteral("wrong"));
    QVERIFY(f.timer()->isActive());
    f.fake.clock.advance(2);
    f.input()->clear();
    f.enterLine(kEnglishLines[0]);
    f.tick(184);
    QCOMPARE(f.label("lblTime"), QStringLiteral("03分07秒"));
    QCOMPARE(f.form->elapsedSeconds(), 187);
    f.enterLine(kEnglishLines[1]);
    f.enterLine(kEnglishLines[2]);
    QVERIFY(f.timer()->isActive()); // the end leaves it to the next tick
    f.tick(1);
    QVERIFY(!f.timer()->isActive());
    QCOMPARE(f.label("lblTime"), QStringLiteral("03分08秒"));
}

// The tick stops the clock as soon as the input equals the last line, before Enter.
void LinesTest::timerStopsWhenTheInputEqualsTheLastLine() {
    Fixture f(TextLanguage::English);
    QVERIFY(f.show());
    f.open(kEnglishLines);
    f.enter();
    f.enterLine(kEnglishLines[0]);
    f.tick(2);
    QVERIFY(f.timer()->isActive());
    f.type(kEnglishLines[2]);
    f.tick(1);
    QVERIFY(!f.timer()->isActive());
    QCOMPARE(f.label("lblTime"), QStringLiteral("00分03秒"));
    QCOMPARE(f.display()->text(), kEnglishLines[1]);
}

// A window opened again has a fresh dialog with no name: cancelling it leaves no text, and
// the next tick stops the clock.
void LinesTest::timerStopsWhenTheTextIsGone() {
    Fixture f(TextLanguage::Japanese);
    QVERIFY(f.show());
    f.open(kJapaneseLines);
    f.form->mnuEnd_Click();
    QVERIFY(f.show());
    f.enter();
    f.enterLine(kJapaneseLines[0]);
    QVERIFY(f.timer()->isActive());
    f.form->mnuFileOpen_Click(); // cancelled
    QVERIFY(!f.form->practiceText().hasText());
    f.tick(1);
    QVERIFY(!f.timer()->isActive());
}

// The end shows the span of the last tick before it; the tick after it updates the label
// once more but not the clipboard.
void LinesTest::endTimeIsTheLastTicks() {
    Fixture f(TextLanguage::Japanese);
    QVERIFY(f.show());
    f.open(QStringList{QStringLiteral("a"), QStringLiteral("b")});
    f.enter();
    f.enterLine(QStringLiteral("a"));
    f.tick(10);
    f.fake.clock.advance(7); // no tick yet
    f.enterLine(QStringLiteral("b"));
    QCOMPARE(f.label("lblTime"), QStringLiteral("00分10秒"));
    QCOMPARE(f.fake.clipboard.text(), QStringLiteral("00分10秒"));
    f.tick(1);
    QCOMPARE(f.label("lblTime"), QStringLiteral("00分18秒"));
    QCOMPARE(f.fake.clipboard.text(), QStringLiteral("00分10秒"));
    QVERIFY(!f.timer()->isActive());
}

void LinesTest::runAcrossMidnightIsTimedRight() {
    Fixture f(TextLanguage::Japanese);
    QVERIFY(f.show());
    f.open(QStringList{QStringLiteral("a"), QStringLiteral("b")});
    f.fake.clock.time = 86400 - 20; // 23:59:40
    f.fake.clock.monotonic = 5'000'000;
    f.enter();
    QCOMPARE(f.form->startTime(), 86400 - 20);
    f.enterLine(QStringLiteral("a"));
    f.tick(15);
    QCOMPARE(f.label("lblTime"), QStringLiteral("00分15秒"));
    f.tick(80); // 00:01:15 the next day
    QCOMPARE(f.fake.clock.time, 75);
    QCOMPARE(f.label("lblTime"), QStringLiteral("01分35秒"));
    f.enterLine(QStringLiteral("b"));
    QCOMPARE(f.fake.clipboard.text(), QStringLiteral("01分35秒"));
}

void LinesTest::elapsedTextWrapsAtTheHour_data() {
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << qint64(0) << "00分00秒";
    QTest::newRow("187 s") << qint64(187) << "03分07秒";
    QTest::newRow("59:59") << qint64(3599) << "59分59秒";
    QTest::newRow("one hour") << qint64(3600) << "00分00秒";
    QTest::newRow("1:03:07") << qint64(3600 + 187) << "03分07秒";
    QTest::newRow("a day and a minute") << qint64(86400 + 60) << "01分00秒";
}

void LinesTest::elapsedTextWrapsAtTheHour() {
    QFETCH(qint64, seconds);
    QFETCH(QString, text);
    QCOMPARE(LinePractice::elapsedText(seconds), text);
}

// A later line equal to the first one restarts the clock when it is shown.
void LinesTest::slotZeroShownAgainRestartsTheClock() {
    Fixture f(TextLanguage::English);
    QVERIFY(f.show());
    f.open(QStringList{QStringLiteral("again"), QStringLiteral("middle"), QStringLiteral("again"),
                       QStringLiteral("end")});
    f.fake.clock.time = 100;
    f.enter();
    f.enterLine(QStringLiteral("again"));
    f.tick(30);
    f.enterLine(QStringLiteral("middle"));
    QCOMPARE(f.form->startTime(), 130);
    f.tick(4);
    QCOMPARE(f.label("lblTime"), QStringLiteral("00分04秒"));
}

void LinesTest::reopeningKeepsTheTextAndStartsFromTheTop() {
    QFETCH(TextLanguage, language);
    Fixture f(language);
    QVERIFY(f.show());
    const QStringList& lines = linesFor(language);
    f.open(lines);
    f.enter();
    f.enterLine(lines[0]);
    f.enterLine(QStringLiteral("wrong"));
    f.tick(9);
    f.form->mnuEnd_Click();
    QVERIFY(!f.form->isLoaded());

    QVERIFY(f.show());
    QCOMPARE(f.form->practiceText().textFileName, f.files.folder() + QStringLiteral("/text1.txt"));
    QCOMPARE(f.form->rightCount(), 0);
    QCOMPARE(f.form->wrongCount(), 0);
    QCOMPARE(f.label("lblMaru"), QStringLiteral("○ 0"));
    QCOMPARE(f.label("lblBatsu"), QStringLiteral("× 0"));
    QCOMPARE(f.label("lblTime"), QStringLiteral("00分00秒"));
    QCOMPARE(f.label("lblGyosu"), QString());
    QCOMPARE(f.display()->text(), QString());
    QCOMPARE(f.input()->text(), QString());
    QVERIFY(!f.input()->isReadOnly());
    QVERIFY(!f.timer()->isActive());
    QCOMPARE(QApplication::focusWidget(), f.input());

    f.enter();
    QCOMPARE(f.display()->text(), lines[0]);
    QCOMPARE(f.label("lblGyosu"), QStringLiteral("練習数3"));
    QCOMPARE(f.fake.speech.voicesCreated, language == TextLanguage::English ? 2 : 0);
    f.enterLine(lines[0]);
    f.enterLine(lines[1]);
    f.enterLine(lines[2]);
    QCOMPARE(f.display()->text(), f.endText());
    QCOMPARE(f.label("lblMaru"), QStringLiteral("○ 3"));
}

// A new text in the middle of a run: the display is cleared and the text starts again from
// its first line, but the counts and the running clock stay.
void LinesTest::openingDuringARunKeepsTheCounts() {
    Fixture f(TextLanguage::Japanese);
    QVERIFY(f.show());
    f.open(kJapaneseLines);
    f.enter();
    f.enterLine(kJapaneseLines[0]);
    f.enterLine(QStringLiteral("wrong"));
    f.tick(6);
    pressKey(*f.form, Qt::Key_Backspace);
    f.open(kEnglishLines);
    QCOMPARE(f.display()->text(), QString());
    QCOMPARE(f.form->practiceText().linePosition, 0);
    QCOMPARE(f.form->elapsedSeconds(), 0);
    QCOMPARE(f.form->rightCount(), 2);
    QCOMPARE(f.form->wrongCount(), 1);
    QCOMPARE(f.label("lblTime"), QStringLiteral("00分06秒"));
    QVERIFY(f.timer()->isActive());
    f.input()->clear();
    f.enter();
    QCOMPARE(f.display()->text(), kEnglishLines[0]);
    QCOMPARE(f.form->rightCount(), 3);
    QCOMPARE(f.label("lblGyosu"), QStringLiteral("練習数1"));
}

// The input method commits the converted text; the Enter after it judges that text.
void LinesTest::committedTextIsJudgedOnARealEnter() {
    Fixture f(TextLanguage::Japanese);
    QVERIFY(f.show());
    f.open(kJapaneseLines);
    f.enter();
    commitText(*f.form, QStringLiteral("今日は"));
    commitText(*f.form, QStringLiteral("晴れです。"));
    QCOMPARE(f.input()->text(), kJapaneseLines[0]);
    QCOMPARE(f.form->rightCount(), 1); // the commits judged nothing
    f.enter();
    QCOMPARE(f.form->rightCount(), 2);
    QCOMPARE(f.display()->text(), kJapaneseLines[1]);
    QCOMPARE(f.fake.clipboard.text(), kJapaneseLines[1]);
}

// The screen reader hears what the Japanese box composes, once per burst of the input
// method's events; typing into the English box, with no composition, says nothing new.
void LinesTest::compositionIsAnnouncedOnlyInJapanese() {
    QFETCH(TextLanguage, language);
    Fixture f(language);
    QVERIFY(f.show());
    f.open(linesFor(language));
    f.enter();
    f.fake.clearRecords();
    if (f.japanese()) {
        QInputMethodEvent composing(QStringLiteral("かみ"), {});
        QApplication::sendEvent(f.input(), &composing);
        QTRY_COMPARE(f.fake.announcer.texts, QStringList{QStringLiteral("かみ")});
        QInputMethodEvent committing;
        committing.setCommitString(QStringLiteral("神"));
        QApplication::sendEvent(f.input(), &committing);
        QInputMethodEvent emptied(QString(), {});
        QApplication::sendEvent(f.input(), &emptied);
        QTRY_COMPARE(f.fake.announcer.texts, (QStringList{QStringLiteral("かみ"), "神"}));
        QCOMPARE(f.input()->text(), QStringLiteral("神"));
    } else {
        typeText(*f.form, QStringLiteral("Tea"));
    }
    QTest::qWait(4 * CompositionAnnouncer::kBurstQuietMs);
    QCOMPARE(f.fake.announcer.texts.size(), f.japanese() ? 2 : 0);
    QVERIFY(f.fake.clipboard.texts.isEmpty());
}

// The Enter that confirms a conversion reaches the program only as a key release.
void LinesTest::anEnterReleaseAloneNeverJudges() {
    Fixture f(TextLanguage::Japanese);
    QVERIFY(f.show());
    f.open(kJapaneseLines);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    sendKeyEvent(*f.form, release);
    QCOMPARE(f.form->rightCount(), 0);
    QCOMPARE(f.display()->text(), QString());
    f.enter();
    commitText(*f.form, QStringLiteral("今日は晴れ"));
    sendKeyEvent(*f.form, release);
    QCOMPARE(f.form->rightCount(), 1);
    QCOMPARE(f.form->wrongCount(), 0);
    QVERIFY(f.fake.sound.played.isEmpty());
}

void LinesTest::enterNeverReachesTheInputBox() {
    Fixture f(TextLanguage::English);
    QVERIFY(f.show());
    f.open(kEnglishLines);
    QSignalSpy returns(f.input(), &QLineEdit::returnPressed);
    f.enter();
    f.type(QStringLiteral("The sun"));
    f.enter();
    QCOMPARE(f.input()->text(), QStringLiteral("The sun"));
    QCOMPARE(returns.count(), 0);
}

// Ctrl copies the shown line; pressing Ctrl for Ctrl+O therefore copies it before the dialog
// opens.
void LinesTest::ctrlCopiesTheShownLineBeforeCtrlO() {
    Fixture f(TextLanguage::Japanese);
    QVERIFY(f.show());
    f.open(kJapaneseLines);
    f.enter();
    f.ctrl();
    QCOMPARE(f.fake.clipboard.texts, (QStringList{kJapaneseLines[0], kJapaneseLines[0]}));
    QCOMPARE(f.display()->text(), kJapaneseLines[0]);

    f.fake.dialogs.openResults.push_back(f.files.write(kEnglishLines));
    QTest::keyClick(f.input(), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(f.fake.dialogs.openCalls.size(), 2);
    QCOMPARE(f.fake.clipboard.texts.size(), 3);
    QCOMPARE(f.fake.clipboard.text(), kJapaneseLines[0]);
    QCOMPARE(f.form->practiceText().lineSlots[0], kEnglishLines[0]);
    QCOMPARE(f.display()->text(), QString());
    QCOMPARE(f.fake.dialogs.openCalls.last().filter,
             QStringLiteral("テキスト ファイル (*.txt)|*.txt|"));
}

void LinesTest::englishSpeaksInOrderWithCtrlTwice() {
    Fixture f(TextLanguage::English);
    QVERIFY(f.show());
    f.open(kEnglishLines);
    f.enter();
    f.ctrl();
    pressKey(*f.form, Qt::Key_Control, Qt::ControlModifier);
    f.enterLine(kEnglishLines[0]);
    f.enterLine(QStringLiteral("wrong"));
    f.input()->clear();
    f.enterLine(kEnglishLines[1]);
    f.enterLine(kEnglishLines[2]);
    QCOMPARE(f.fake.speech.spoken,
             (QStringList{kEnglishLines[0], kEnglishLines[0], kEnglishLines[0], kEnglishLines[1],
                          kEnglishLines[2], kEnglishEnd}));
    QCOMPARE(f.fake.clipboard.texts, QStringList{QStringLiteral("00分00秒")});
    QCOMPARE(f.fake.sound.played, QStringList{QStringLiteral("\\boo.wav")});
}

void LinesTest::englishWithoutVoiceStaysSilent() {
    Fixture f(TextLanguage::English);
    f.fake.speech.available = false;
    QVERIFY(f.show());
    f.open(kEnglishLines);
    f.enter();
    f.ctrl();
    f.enterLine(kEnglishLines[2]);
    QCOMPARE(f.display()->text(), kEnglishEnd);
    QVERIFY(f.fake.speech.spoken.isEmpty());
    QCOMPARE(f.fake.clipboard.texts, QStringList{QStringLiteral("00分00秒")});
}

// An inner area of 1000 x 500 pixels at 15 twips a pixel: h = 1500, w = 14850; the offscreen
// platform's frame makes the outer width 1004 pixels, 15060 twips.
void LinesTest::layoutFollowsTheTable() {
    Fixture f(TextLanguage::Japanese);
    QVERIFY(f.show());
    QVERIFY(setInnerSize(*f.form, {1000, 500}));
    QCOMPARE(f.form->frameGeometry().width(), 1004);
    QCOMPARE(f.display()->parentWidget(), f.control<QFrame>("Frame1"));
    QCOMPARE(f.display()->geometry(), QRect(50, 20, 990, 150));
    QCOMPARE(f.input()->geometry(), QRect(50, 180, 990, 150));
    QCOMPARE(f.control<QFrame>("Frame1")->geometry(), QRect(0, 1, 1000, 340));
    QCOMPARE(f.control<QLabel>("lblTime")->geometry(), QRect(20, 350, 351, 60));
    QCOMPARE(f.control<QLabel>("lblMaru")->geometry(), QRect(396, 350, 251, 60));
    QCOMPARE(f.control<QLabel>("lblGyosu")->geometry(), QRect(644, 350, 351, 60));
    QCOMPARE(f.control<QLabel>("lblBatsu")->geometry(), QRect(396, 420, 251, 60));
    QCOMPARE(f.control<QLabel>("lblKey_Guide")->geometry(), QRect(20, 420, 351, 60));
    QCOMPARE(f.crowdingTheResults(), QStringList());
    // The input box lies over the frame's band and stays visible.
    QVERIFY(f.form->client()->childAt(f.input()->geometry().center()) == f.input() ||
            f.input()->isAncestorOf(f.form->client()->childAt(f.input()->geometry().center())));
    const QFont before = f.display()->font();
    f.form->resize(600, 400);
    QTRY_COMPARE(f.form->client()->width(), 600);
    QCOMPARE(f.display()->font(), before);
}

// The rightmost column of `widget` drawn in another colour than its background (0: none).
int rightmostInk(QWidget& widget) {
    QImage image(widget.size(), QImage::Format_RGB32);
    widget.render(&image);
    const QRgb background = image.pixel(0, image.height() - 1);
    for (int x = image.width() - 1; x > 0; --x)
        for (int y = 0; y < image.height(); ++y)
            if (image.pixel(x, y) != background)
                return x;
    return 0;
}

// Both boxes reach past the window's right edge (above); what they draw stays inside it: the
// shown line wraps before the edge, and the typed line scrolls so that its end and the cursor
// stay in sight.
void LinesTest::textStaysInsideTheWindow() {
    Fixture f(TextLanguage::Japanese);
    QVERIFY(f.show());
    f.open(QStringList{QStringLiteral("朝の体操は①番から始めます～")});
    f.enter();
    f.type(QStringLiteral("abcdefghijklmnopqrstuvwxyzabcdefghijklmn"));
    for (const QSize inner : {QSize(1000, 500), QSize(700, 450)}) {
        QVERIFY(setInnerSize(*f.form, inner));
        const int edge = f.form->width();
        const auto inWindow = [&](QWidget* box, int x) {
            return box->mapTo(f.form.get(), QPoint(x, 0)).x();
        };
        // The display box draws its line in its viewport.
        QWidget* shown = f.display()->viewport();
        QVERIFY2(inWindow(shown, shown->width()) <= edge, "the shown line wraps past the window");
        const QRect cursor = f.input()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const int typedEnd = inWindow(f.input(), rightmostInk(*f.input()));
        QVERIFY2(inWindow(f.input(), cursor.right()) < edge, "the cursor is out of sight");
        QVERIFY2(typedEnd < edge, "the typed line reaches past the window");
        QVERIFY2(inWindow(f.input(), cursor.left()) - typedEnd <
                     QFontMetrics(f.input()->font()).horizontalAdvance(u'n'),
                 "the last letter typed is not shown before the cursor");
    }
}

// Counts are 16-bit. Enter held down on a wrong line (something lying on the keyboard) counted
// wrong line 32768 as -32768 and showed "× -32768" (found by a storm); it stays at 32767.
void LinesTest::wrongLinesStopAtTheLargestCount() {
    QFETCH(TextLanguage, language);
    Fixture f(language);
    QVERIFY(f.show());
    f.open(QStringList{QStringLiteral("first"), QStringLiteral("last")});
    f.enter(); // the starting Enter shows "first"
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), true);
    for (int i = 0; i < 32770; ++i)
        sendKeyEvent(*f.form, press);
    QCOMPARE(f.form->wrongCount(), qint16(32767));
    QCOMPARE(f.label("lblBatsu"), QStringLiteral("× 32767"));
    QCOMPARE(f.form->rightCount(), qint16(1));
}

// Tab left the input box, so a line holding a tab could never be typed.
void LinesTest::aTabInTheInputBoxIsTyped() {
    QFETCH(TextLanguage, language);
    Fixture f(language);
    QVERIFY(f.show());
    f.open(QStringList{QStringLiteral("a\tb"), QStringLiteral("end")});
    f.enter();
    typeText(*f.form, QStringLiteral("a"));
    pressKey(*f.form, Qt::Key_Tab);
    typeText(*f.form, QStringLiteral("b"));
    QCOMPARE(f.input()->text(), QStringLiteral("a\tb"));
    QVERIFY(f.input()->hasFocus());
    f.enter();
    QCOMPARE(f.form->wrongCount(), qint16(0));
    QCOMPARE(f.display()->text(), QStringLiteral("end"));
}

// Esc after the end unlocks the input box while it keeps the focus: Japanese input must be
// switched on again then, as when the box gets the focus.
void LinesTest::escAfterTheEndPutsHiraganaBack() {
    Fixture f(TextLanguage::Japanese);
    QVERIFY(f.show());
    f.open(kJapaneseLines);
    f.enter();
    f.enterLine(kJapaneseLines.last());
    QVERIFY(f.input()->isReadOnly());
    const int before = f.fake.inputMethod.hiraganaSwitches;
    f.escape();
    QVERIFY(!f.input()->isReadOnly());
    QCOMPARE(f.fake.inputMethod.hiraganaSwitches, before + 1);
}

// Six seconds from the first line to the end, a wrong line on the way: 30 characters right of
// 38 (Japanese), 46 of 60 (English). Shown under the score's place and said to the screen
// reader after the window's own end texts; never on the clipboard or in the voice. An end
// that comes again keeps them; Esc clears them.
void LinesTest::theEndShowsAndAnnouncesTheResults() {
    QFETCH(TextLanguage, language);
    Fixture f(language);
    QVERIFY(f.show());
    const QStringList& lines = linesFor(language);
    f.open(lines);
    f.enter();
    f.enterLine(QStringLiteral("x"));
    f.input()->clear();
    for (const QString& line : lines) {
        f.second();
        f.second();
        QVERIFY(!f.shown("lblKekka"));
        f.enterLine(line);
    }
    const QString shown = f.japanese() ? QStringLiteral("300字/分　正確さ 78%\n10分 3000字 1級相当")
                                       : QStringLiteral("92 WPM\nAccuracy 76%");
    const QString spoken = f.japanese()
                               ? QStringLiteral("300字/分　正確さ 78%　10分 3000字 1級相当")
                               : QStringLiteral("92 WPM, Accuracy 76%");
    QVERIFY(f.shown("lblKekka"));
    QCOMPARE(f.label("lblKekka"), shown);
    const QString sep = QStringLiteral("、");
    const QString time = QStringLiteral("00分06秒");
    QCOMPARE(f.fake.announcer.texts.last(),
             (f.japanese() ? f.endText() + sep + time : time) + sep + spoken);
    const QString word = f.japanese() ? QStringLiteral("正確さ") : QStringLiteral("Accuracy");
    for (const QString& handedOn : f.fake.clipboard.texts + f.fake.speech.spoken)
        QVERIFY2(!handedOn.contains(word), qPrintable(handedOn));

    // The tick after the end says nothing more; an Enter ends the run again, results unchanged.
    const qsizetype announced = f.fake.announcer.texts.size();
    f.second();
    QCoreApplication::processEvents();
    QCOMPARE(f.fake.announcer.texts.size(), announced);
    f.second();
    f.enter();
    QCOMPARE(f.label("lblKekka"), shown);

    f.escape();
    QVERIFY(!f.shown("lblKekka"));
    QCOMPARE(f.label("lblKekka"), QString());
}

// A one-line text: its clock starts with the line and no tick comes before the Enter that ends
// the run, which still took two seconds.
void LinesTest::resultsAreTimedToTheEnterThatEnds() {
    Fixture f(TextLanguage::Japanese);
    QVERIFY(f.show());
    f.open(QStringList{QStringLiteral("はい")});
    f.enter();
    f.second();
    f.second();
    f.enterLine(QStringLiteral("はい"));
    QCOMPARE(f.label("lblTime"), QStringLiteral("00分00秒"));
    QCOMPARE(f.label("lblKekka"), QStringLiteral("60字/分　正確さ 100%\n10分 600字 準1級相当"));
}

// On the smallest screen (1280 x 1024, a menu bar and a frame less), beside the other controls,
// the longest results a learner could reach keep to their two rows.
void LinesTest::resultsFitTheirPlace() {
    QFETCH(TextLanguage, language);
    Fixture f(language);
    QVERIFY(f.show());
    QVERIFY(setInnerSize(*f.form, {1276, 980}));
    QCOMPARE(f.crowdingTheResults(), QStringList());
    const QString longest = f.japanese()
                                ? QStringLiteral("999字/分　正確さ 100%\n10分 9990字 準1級相当")
                                : QStringLiteral("999 WPM\nAccuracy 100%");
    QVERIFY2(f.resultsFit(longest), qPrintable(longest));
}

QTEST_MAIN(LinesTest)
#include "tst_lines.moc"

// The entrance window driven with real key events on the fake platform.

#include "../common/TestForm.h"
#include "FakePlatform.h"
#include "FormTest.h"

#include "app/FormCatalog.h"
#include "app/frmEntrance.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

using namespace tokotoko;
using namespace tokotoko::test;

namespace {

// An entrance with test windows behind entries 2 and 5; the other entries have none.
struct Fixture {
    FakePlatform fake;
    FormCatalog catalog;
    frmEntrance entrance{fake, catalog};
    int created = 0;

    Fixture() {
        for (const int entry : {2, 5})
            addWindow(entry);
    }
    void addWindow(int entry) {
        catalog.add(entry, [this] {
            ++created;
            return std::make_unique<TestForm>(fake.platform());
        });
    }
    QPlainTextEdit* entry(int index) {
        return entrance.findChild<QPlainTextEdit*>(frmEntrance::entryName(index));
    }
    int focusedEntry() {
        for (int i = 0; i < frmEntrance::kEntryCount; ++i) {
            if (QApplication::focusWidget() == entry(i))
                return i;
        }
        return -1;
    }
    TestForm* opened(int entry) { return static_cast<TestForm*>(catalog.instance(entry)); }
};

QColor background(QPlainTextEdit* entry) {
    return entry->palette().color(QPalette::Base);
}

} // namespace

class EntranceTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void startsWithEntryOneFocusedAndOnTheClipboard();
    void entriesHoldTheirTexts();
    void arrowsWrapRoundTheEntries();
    void eachNewlyFocusedEntryGoesToTheClipboard();
    void digitsOpenTheirWindowWhateverTheFocusAndShift();
    void keypadDigitsAndNineAndZeroDoNothing();
    void enterAndSpaceOpenTheFocusedEntryOnly();
    void enterLeavesTheEntryTextUnchanged();
    void escapeEndsTheEventLoop();
    void theEndMenuEndsTheProgram();
    void titleTurnsOneCharacterPerTick();
    void versionBoxFromTheMenu();
    void closingAnExerciseKeepsTheFocusedEntry();
    void layoutFollowsTheTable();
};

void EntranceTest::startsWithEntryOneFocusedAndOnTheClipboard() {
    Fixture f;
    f.entrance.showForm();
    // Before the window system activates the window, entry 1 is already highlighted.
    QCOMPARE(f.fake.clipboard.text(), QStringLiteral("１\r\n押せばわかる"));
    QCOMPARE(background(f.entry(0)), QColor(0, 0, 0));
    QCOMPARE(f.entry(0)->palette().color(QPalette::Text), QColor(255, 255, 255));
    QCOMPARE(background(f.entry(1)), QColor(0, 0, 255));
    QCOMPARE(f.entry(1)->palette().color(QPalette::Text), QColor(255, 255, 0));
    QVERIFY(QTest::qWaitForWindowActive(&f.entrance));
    QCOMPARE(f.focusedEntry(), 0);
    QCOMPARE(f.fake.clipboard.text(), QStringLiteral("１\r\n押せばわかる"));
    QCOMPARE(f.entrance.windowTitle(), QStringLiteral("とことこいりぐち"));
    QVERIFY(f.entrance.keyPreview());
}

void EntranceTest::entriesHoldTheirTexts() {
    const QStringList expected{
        QStringLiteral("１\r\n押せばわかる"),     QStringLiteral("２\r\nどの指使うの"),
        QStringLiteral("３\r\nｱﾙﾌｧﾍﾞｯﾄに挑戦"),   QStringLiteral("４\r\n記号と数字も登場"),
        QStringLiteral("５\r\n応用日本語入力１"), QStringLiteral("６\r\n応用日本語入力２"),
        QStringLiteral("７\r\n応用英語入力１"),   QStringLiteral("８\r\n応用英語入力２")};
    Fixture f;
    QVERIFY(showActive(f.entrance));
    for (int i = 0; i < frmEntrance::kEntryCount; ++i) {
        QCOMPARE(frmEntrance::entryText(i), expected[i]);
        QCOMPARE(f.entry(i)->toPlainText(), QString(expected[i]).replace(u'\r', QString()));
    }
}

void EntranceTest::arrowsWrapRoundTheEntries() {
    Fixture f;
    QVERIFY(showActive(f.entrance));
    pressKey(f.entrance, Qt::Key_Up);
    QTRY_COMPARE(f.focusedEntry(), 7);
    QCOMPARE(f.fake.clipboard.text(), QStringLiteral("８\r\n応用英語入力２"));
    pressKey(f.entrance, Qt::Key_Down);
    QTRY_COMPARE(f.focusedEntry(), 0);
    QCOMPARE(f.fake.clipboard.text(), QStringLiteral("１\r\n押せばわかる"));
    // Up and Down go as synthesized Shift+Tab and Tab through the event queue.
    using D = KeyInjector::Direction;
    using P = FakeKeyInjector::Posted;
    QCOMPARE(f.fake.keys.posted, (QList<P>{{16, D::Down, Qt::ShiftModifier},
                                           {9, D::Down, Qt::ShiftModifier},
                                           {9, D::Up, Qt::ShiftModifier},
                                           {16, D::Up, Qt::NoModifier},
                                           {9, D::Down, Qt::NoModifier},
                                           {9, D::Up, Qt::NoModifier}}));
    // Only one entry is ever drawn inverted.
    QCOMPARE(background(f.entry(7)), QColor(0, 0, 255));
    QCOMPARE(background(f.entry(0)), QColor(0, 0, 0));
}

void EntranceTest::eachNewlyFocusedEntryGoesToTheClipboard() {
    Fixture f;
    QVERIFY(showActive(f.entrance));
    for (int step = 1; step <= 8; ++step) {
        pressKey(f.entrance, Qt::Key_Down);
        QTRY_COMPARE(f.focusedEntry(), step % 8);
        QCOMPARE(f.fake.clipboard.text(), frmEntrance::entryText(step % 8));
    }
    QCOMPARE(f.fake.clipboard.texts.size(), 9);
}

void EntranceTest::digitsOpenTheirWindowWhateverTheFocusAndShift() {
    Fixture f;
    QVERIFY(showActive(f.entrance));
    // Shift+5 arrives as "%" from the 5 key.
    QKeyEvent press = x11KeyEvent(QEvent::KeyPress, Qt::Key_Percent, Qt::ShiftModifier, 14, 0x1,
                                  QStringLiteral("%"));
    sendKeyEvent(f.entrance, press);
    QVERIFY(f.opened(5));
    QVERIFY(f.opened(5)->isVisible());
    QCOMPARE(f.focusedEntry() == 0 || QApplication::activeWindow() == f.opened(5), true);
    f.opened(5)->unload();
    QVERIFY(showActive(f.entrance));
    pressKey(f.entrance, Qt::Key_2, Qt::ControlModifier);
    QVERIFY(f.opened(2) && f.opened(2)->isVisible());
    QCOMPARE(f.created, 2);
    // An entry whose window does not exist yet does nothing.
    pressKey(f.entrance, Qt::Key_3);
    QVERIFY(!f.catalog.instance(3));
    // The first and the last digit.
    f.opened(2)->unload();
    f.addWindow(1);
    f.addWindow(8);
    for (const int digit : {1, 8}) {
        QVERIFY(showActive(f.entrance));
        pressKey(f.entrance, Qt::Key(Qt::Key_0 + digit));
        QVERIFY2(f.opened(digit) && f.opened(digit)->isVisible(),
                 qPrintable(QString::number(digit)));
        f.opened(digit)->unload();
    }
}

void EntranceTest::keypadDigitsAndNineAndZeroDoNothing() {
    Fixture f;
    QVERIFY(showActive(f.entrance));
    pressKey(f.entrance, Qt::Key_2, Qt::KeypadModifier);
    pressKey(f.entrance, Qt::Key_5, Qt::KeypadModifier);
    pressKey(f.entrance, Qt::Key_9);
    pressKey(f.entrance, Qt::Key_0);
    QCOMPARE(f.created, 0);
    QCOMPARE(f.focusedEntry(), 0);
    QCOMPARE(f.entry(0)->toPlainText(), QStringLiteral("１\n押せばわかる"));
}

void EntranceTest::enterAndSpaceOpenTheFocusedEntryOnly() {
    Fixture f;
    QVERIFY(showActive(f.entrance));
    pressKey(f.entrance, Qt::Key_Return); // entry 1 has no window here
    pressKey(f.entrance, Qt::Key_Space);
    QCOMPARE(f.created, 0);
    pressKey(f.entrance, Qt::Key_Down);
    QTRY_COMPARE(f.focusedEntry(), 1);
    pressKey(f.entrance, Qt::Key_Space);
    QVERIFY(f.opened(2) && f.opened(2)->isVisible());
    QVERIFY(!f.opened(5));
    f.opened(2)->unload();
    QVERIFY(showActive(f.entrance));
    QTRY_COMPARE(f.focusedEntry(), 1);
    pressKey(f.entrance, Qt::Key_Return);
    QCOMPARE(f.opened(2)->loads, 2);
}

void EntranceTest::enterLeavesTheEntryTextUnchanged() {
    Fixture f;
    QVERIFY(showActive(f.entrance));
    pressKey(f.entrance, Qt::Key_Return);
    pressKey(f.entrance, Qt::Key_Enter, Qt::KeypadModifier);
    typeText(f.entrance, QStringLiteral("abc"));
    pressKey(f.entrance, Qt::Key_Backspace);
    pressKey(f.entrance, Qt::Key_Delete);
    QCOMPARE(f.entry(0)->toPlainText(), QStringLiteral("１\n押せばわかる"));
}

void EntranceTest::escapeEndsTheEventLoop() {
    Fixture f;
    QVERIFY(showActive(f.entrance));
    QTimer::singleShot(0, &f.entrance, [&] { pressKey(f.entrance, Qt::Key_Escape); });
    QCOMPARE(execUntilExit(), 0);
    QCOMPARE(f.fake.app.endCount, 1);
}

void EntranceTest::theEndMenuEndsTheProgram() {
    Fixture f;
    QVERIFY(showActive(f.entrance));
    auto* mnuEnd = f.entrance.findChild<QAction*>(QStringLiteral("mnuEnd"));
    QVERIFY(mnuEnd);
    QCOMPARE(mnuEnd->text(), QStringLiteral("終了(&X or Escape)"));
    mnuEnd->trigger();
    QCOMPARE(f.fake.app.endCount, 1);
}

void EntranceTest::titleTurnsOneCharacterPerTick() {
    Fixture f;
    QVERIFY(showActive(f.entrance));
    auto* title = f.entrance.findChild<QLabel*>(QStringLiteral("lblTitle"));
    auto* timer = f.entrance.findChild<QTimer*>(QStringLiteral("Timer1"));
    QVERIFY(title && timer);
    QCOMPARE(timer->interval(), 500);
    QVERIFY(timer->isActive());
    QCOMPARE(title->text(), QStringLiteral("とことこ Ver.３   "));
    QCOMPARE(title->text().size(), 13);
    f.entrance.Timer1_Timer();
    QCOMPARE(title->text(), QStringLiteral("ことこ Ver.３   と"));
    // A screen reader hears nothing of the turning: a fixed name, no event.
    static QObject* watched = nullptr;
    static int events = 0;
    watched = title;
    const auto previous = QAccessible::installUpdateHandler(
        [](QAccessibleEvent* event) { events += event->object() == watched ? 1 : 0; });
    for (int i = 1; i < 13; ++i)
        f.entrance.Timer1_Timer();
    QAccessible::installUpdateHandler(previous);
    QCOMPARE(title->text(), QStringLiteral("とことこ Ver.３   "));
    QCOMPARE(events, 0);
    QCOMPARE(title->accessibleName(), QStringLiteral("とことこ Ver.３"));
}

void EntranceTest::versionBoxFromTheMenu() {
    Fixture f;
    QVERIFY(showActive(f.entrance));
    auto* mnuVersion = f.entrance.findChild<QAction*>(QStringLiteral("mnuVersion"));
    QVERIFY(mnuVersion);
    QCOMPARE(mnuVersion->text(), QStringLiteral("バージョン(&V)"));
    mnuVersion->trigger();
    QCOMPARE(f.fake.dialogs.messages.size(), 1);
    QCOMPARE(f.fake.dialogs.messages[0].title, QStringLiteral("バージョン情報"));
    QVERIFY(f.fake.dialogs.messages[0].text.startsWith(
        QStringLiteral("とことこ\r\n\r\nバージョン3.0\r\n")));
}

void EntranceTest::closingAnExerciseKeepsTheFocusedEntry() {
    Fixture f;
    QVERIFY(showActive(f.entrance));
    pressKey(f.entrance, Qt::Key_Up);
    pressKey(f.entrance, Qt::Key_Up);
    QTRY_COMPARE(f.focusedEntry(), 6);
    const int copies = f.fake.clipboard.texts.size();
    pressKey(f.entrance, Qt::Key_5);
    QVERIFY(QTest::qWaitForWindowActive(f.opened(5)));
    f.fake.clipboard.setText(QStringLiteral("what the exercise copied"));
    f.opened(5)->unload();
    QVERIFY(QTest::qWaitForWindowActive(&f.entrance));
    QTRY_COMPARE(f.focusedEntry(), 6);
    // Coming back does not overwrite what the exercise left on the clipboard.
    QCOMPARE(f.fake.clipboard.text(), QStringLiteral("what the exercise copied"));
    QCOMPARE(f.fake.clipboard.texts.size(), copies + 1);
    QCOMPARE(background(f.entry(6)), QColor(0, 0, 0));
}

// At 96 dpi and an inner area of 1000×500 pixels the layout unit is 100 pixels down and
// 990 across.
void EntranceTest::layoutFollowsTheTable() {
    Fixture f;
    QVERIFY(showActive(f.entrance));
    QVERIFY(setInnerSize(f.entrance, {1000, 500}));
    QCOMPARE(f.entry(1)->geometry(), QRect(50, 180, 396, 80));
    QCOMPARE(f.entry(7)->geometry(), QRect(545, 380, 396, 80));
    const QFont before = f.entry(0)->font();
    QVERIFY(setInnerSize(f.entrance, {500, 250}));
    QCOMPARE(f.entry(7)->geometry(), QRect(272, 190, 198, 40));
    QCOMPARE(f.entry(0)->font(), before);
    QCOMPARE(f.entry(0)->font().pointSizeF(), 36.0);
}

QTEST_MAIN(EntranceTest)
#include "tst_entrance.moc"

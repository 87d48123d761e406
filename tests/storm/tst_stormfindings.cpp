// What the random-input storms found, each pinned down as a small deterministic window test
// (label window, so that it also runs in the fast suite and under the sanitizers).

#include "FakePlatform.h"
#include "FormTest.h"

#include "fingers/frmYubiren2.h"
#include "fingers/frmYubiren3.h"
#include "lines/frmEnglish_1.h"
#include "lines/frmJapanese_1.h"
#include "text/TextWindowKit.h"
#include "timed/frmEnglish.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace tokotoko;
using namespace tokotoko::test;

namespace {

std::unique_ptr<YubirenChallenge> makeKeyGame(int which, FakePlatform& fake) {
    if (which == 2)
        return std::make_unique<frmYubiren2>(fake.platform());
    return std::make_unique<frmYubiren3>(fake.platform());
}

// What the event loop does after a handler returns: the controls an unloading let go of are
// deleted.
void deleteDiscardedControls() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Writes a practice text into `folder`; its path, or an empty one if it could not be written.
QString writePracticeText(const QTemporaryDir& folder, const QByteArray& bytes) {
    const QString path = folder.filePath(QStringLiteral("text.txt"));
    QFile file(path);
    if (!folder.isValid() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return path;
}

} // namespace

class StormFindingsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void keyGameIsNotRunningOnceClosed_data();
    void keyGameIsNotRunningOnceClosed();
    void characterAfterTheGameIsAMiss_data();
    void characterAfterTheGameIsAMiss();
    void wrongLinesStopAtTheLargestCount_data();
    void wrongLinesStopAtTheLargestCount();
    void narrowDisplayBoxSettles_data();
    void narrowDisplayBoxSettles();
};

void StormFindingsTest::keyGameIsNotRunningOnceClosed_data() {
    QTest::addColumn<int>("which");
    QTest::newRow("frmYubiren2") << 2;
    QTest::newRow("frmYubiren3") << 3;
}

// The key games' gameRunning() asked the interval timer even after the window had been closed
// and its controls deleted: a read of freed memory (AddressSanitizer: heap-use-after-free).
void StormFindingsTest::keyGameIsNotRunningOnceClosed() {
    QFETCH(int, which);
    FakePlatform fake;
    const auto game = makeKeyGame(which, fake);
    QVERIFY(showActive(*game));
    pressKey(*game, Qt::Key_Space);
    QVERIFY(game->gameRunning());
    pressKey(*game, Qt::Key_Escape);
    QVERIFY(!game->isLoaded());
    deleteDiscardedControls();
    QVERIFY(!game->gameRunning());
    // Opened again, the window is ready for a new game.
    QVERIFY(showActive(*game));
    QVERIFY(!game->gameRunning());
}

// A line practice made very narrow (the storm resized it to 4 pixels wide) kept its display
// box's layout going round for ever: the vertical scroll bar showed, the line wrapped into
// fewer rows, the bar hid, the line wrapped into more... each turn posting the next, the
// program busy and its event queue growing without end.
namespace {

// Counts the queued calls a widget gets; past ten thousand in all it swallows them, so that a
// layout going round for ever ends and the test fails instead of hanging.
class QueuedCallCount final : public QObject {
public:
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::MetaCall)
            return false;
        ++count;
        return ++m_total > 10000;
    }

private:
    int m_total = 0;
};

} // namespace

void StormFindingsTest::characterAfterTheGameIsAMiss_data() {
    QTest::addColumn<int>("which");
    QTest::addColumn<QString>("committed");
    QTest::newRow("frmYubiren2 U+FEFF") << 2 << QString(QChar(0xFEFF));
    QTest::newRow("frmYubiren3 U+FEFF") << 3 << QString(QChar(0xFEFF));
    QTest::newRow("frmYubiren2 ideographic space") << 2 << QStringLiteral("　");
}

// After a game every character is judged against the empty key and counts as a miss. An input
// method committing U+FEFF (zero-width no-break space) was judged as the empty text, because
// QString::fromUcs4 drops a leading U+FEFF as a byte-order mark: it counted a hit and drew a
// new key into the ended game.
void StormFindingsTest::characterAfterTheGameIsAMiss() {
    QFETCH(int, which);
    QFETCH(QString, committed);
    FakePlatform fake;
    const auto game = makeKeyGame(which, fake);
    QVERIFY(showActive(*game));
    pressKey(*game, Qt::Key_Space);
    QVERIFY(game->gameRunning());
    while (game->secondsLeft() > 0) {
        fake.clock.advance(1);
        game->Timer1_Timer();
    }
    QVERIFY(!game->gameRunning());
    auto* key = game->client()->findChild<QLabel*>(QStringLiteral("lblKey"));
    QVERIFY(key);
    QCOMPARE(key->text(), QString());

    commitText(*game, committed);
    QCOMPARE(game->hits(), qint16(0));
    QCOMPARE(game->misses(), qint16(1));
    QCOMPARE(key->text(), QString());
    QVERIFY(!game->gameRunning());
}

void StormFindingsTest::wrongLinesStopAtTheLargestCount_data() {
    QTest::addColumn<bool>("english");
    QTest::newRow("frmJapanese_1") << false;
    QTest::newRow("frmEnglish_1") << true;
}

// Counts are 16-bit. Enter held down on a wrong line (something lying on the keyboard) counted
// wrong line 32768 as -32768: the count wrapped round and the label showed "× -32768". It now
// stays at 32767, as the other windows' counts do.
void StormFindingsTest::wrongLinesStopAtTheLargestCount() {
    QFETCH(bool, english);
    QTemporaryDir folder;
    const QString path = writePracticeText(folder, "first\r\nlast\r\n");
    QVERIFY(!path.isEmpty());

    FakePlatform fake;
    std::unique_ptr<LinePractice> form;
    if (english)
        form = std::make_unique<frmEnglish_1>(fake.platform());
    else
        form = std::make_unique<frmJapanese_1>(fake.platform());
    QVERIFY(showActive(*form));
    fake.dialogs.openResults = {path};
    form->mnuFileOpen_Click();
    pressKey(*form, Qt::Key_Return); // the starting Enter shows "first"
    QCOMPARE(form->rightCount(), qint16(1));
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), true);
    for (int i = 0; i < 32770; ++i)
        sendKeyEvent(*form, press);
    QCOMPARE(form->wrongCount(), qint16(32767));
    auto* wrong = form->client()->findChild<QLabel*>(QStringLiteral("lblBatsu"));
    QVERIFY(wrong);
    QCOMPARE(wrong->text(), QStringLiteral("× 32767"));
    QCOMPARE(form->rightCount(), qint16(1));
}

void StormFindingsTest::narrowDisplayBoxSettles_data() {
    QTest::addColumn<int>("which");
    QTest::newRow("frmJapanese_1") << 5;
    QTest::newRow("frmEnglish") << 8;
}

// The storm resized a text window to 4 pixels wide while its display box showed a line. The
// box's layout then went round for ever: with the vertical scroll bar the line had no room and
// no rows, without it a row, so the bar came back... every turn posting the next, the program
// busy for good and its event queue growing without end.
void StormFindingsTest::narrowDisplayBoxSettles() {
    QFETCH(int, which);
    QTemporaryDir folder;
    const QString path = writePracticeText(folder, "line 1\r\n");
    QVERIFY(!path.isEmpty());

    FakePlatform fake;
    std::unique_ptr<FormWindow> form;
    if (which == 5)
        form = std::make_unique<frmJapanese_1>(fake.platform());
    else
        form = std::make_unique<frmEnglish>(fake.platform());
    QVERIFY(showActive(*form));
    fake.dialogs.openResults = {path};
    auto* open = form->formMenuBar()->findChild<QAction*>(QStringLiteral("mnuFileOpen"));
    QVERIFY(open);
    open->trigger();
    pressKey(*form, Qt::Key_Return); // the starting Enter shows the line
    auto* display = form->client()->findChild<DisplayBox*>(QStringLiteral("txtHyoji"));
    QVERIFY(display);
    QCOMPARE(display->text(), QStringLiteral("line 1"));

    QueuedCallCount calls;
    display->installEventFilter(&calls);
    for (const int width : {1, 4, 13}) {
        for (const int height : {548, 800}) {
            form->resize(width, height);
            for (int i = 0; i < 5; ++i)
                QCoreApplication::processEvents();
            // Settled: nothing more to lay out.
            calls.count = 0;
            for (int i = 0; i < 5; ++i)
                QCoreApplication::processEvents();
            QVERIFY2(calls.count == 0,
                     qPrintable(QStringLiteral("%1 more queued layout calls at %2x%3")
                                    .arg(calls.count)
                                    .arg(width)
                                    .arg(height)));
        }
    }
}

QTEST_MAIN(StormFindingsTest)
#include "tst_stormfindings.moc"

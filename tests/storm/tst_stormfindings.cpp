// What the random-input storms found, each pinned down as a small deterministic window test
// (label window, so that it also runs in the fast suite and under the sanitizers).

#include "FakePlatform.h"
#include "FormTest.h"

#include "fingers/frmYubiren2.h"
#include "fingers/frmYubiren3.h"

#include <QCoreApplication>
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

} // namespace

class StormFindingsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void keyGameIsNotRunningOnceClosed_data();
    void keyGameIsNotRunningOnceClosed();
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

QTEST_MAIN(StormFindingsTest)
#include "tst_stormfindings.moc"

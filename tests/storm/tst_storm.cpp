// Random-input storms on every window of the program, one data row per window: run one with
// `tst_storm storm:frmKeyGuide`. TOKOTOKO_STORM_SEED and TOKOTOKO_STORM_EVENTS replace the
// row's seed and the number of events (a failure prints both).

#include "Storm.h"

#include "app/Exercises.h"

#include <QTest>

using namespace tokotoko;
using namespace tokotoko::storm;

namespace {

qint64 fromEnvironment(const char* name, qint64 fallback) {
    bool ok = false;
    const qint64 value = qEnvironmentVariable(name).toLongLong(&ok);
    return ok ? value : fallback;
}

} // namespace

class StormTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void storm_data();
    void storm();
};

void StormTest::storm_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<quint64>("seed");
    // Each window has a seed of its own, so that no two storms are the same.
    QStringList windows{QStringLiteral("frmEntrance")};
    for (const Exercise& exercise : exercises())
        windows << QString::fromLatin1(exercise.formName);
    quint64 seed = 20261207;
    for (const QString& window : windows)
        QTest::newRow(qPrintable(window)) << window << seed++;
}

void StormTest::storm() {
    QFETCH(QString, window);
    QFETCH(quint64, seed);
    seed = static_cast<quint64>(fromEnvironment("TOKOTOKO_STORM_SEED", static_cast<qint64>(seed)));
    const qint64 events = fromEnvironment("TOKOTOKO_STORM_EVENTS", TOKOTOKO_STORM_DEFAULT_EVENTS);
    qInfo("storm on %s: seed %llu, %lld events (TOKOTOKO_STORM_TRACE=1 prints each event as it "
          "happens)",
          qPrintable(window), seed, events);

    Storm storm(window, seed);
    QString why;
    if (!storm.isReady(&why))
        QSKIP(qPrintable(why));
    const StormResult result = storm.run(events);
    QStringList counts;
    for (auto it = result.actionCounts.cbegin(); it != result.actionCounts.cend(); ++it)
        counts << QStringLiteral("%1 %2 (%3 ms)")
                      .arg(it.value())
                      .arg(it.key())
                      .arg(qRound(result.actionMs.value(it.key())));
    qInfo("%lld random events and %lld repeats of held keys in %lld actions, %lld event loop runs: "
          "%s",
          result.events - result.repeats, result.repeats, result.actions, result.settles,
          qPrintable(counts.join(QStringLiteral(", "))));
    qInfo("%lld events went to an open menu, %lld came while no window was active; highest "
          "resident memory seen: %lld MiB",
          result.menuEvents, result.inactiveEvents, result.highestResident >> 20);
    for (const QString& note : result.notes)
        qInfo("%s", qPrintable(note));
    if (!result.passed)
        QFAIL(qPrintable(result.failure));
}

QTEST_MAIN(StormTest)
#include "tst_storm.moc"

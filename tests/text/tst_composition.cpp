// What a blind learner hears of Japanese input: the rules that turn input-method events into
// announcements, and the kanji readings (from the table the build makes of KANJIDIC2) that
// tell a candidate from its homophones.

#include "text/CompositionAnnouncer.h"
#include "text/CompositionNarration.h"
#include "text/KanjiReadings.h"

#include <QFile>
#include <QInputMethodEvent>
#include <QTest>
#include <QTextCharFormat>

using namespace tokotoko;

namespace {

const QStringList kBuiltTable{QStringLiteral(TOKOTOKO_RUNTIME_DIR)};

// One input-method event: "commit|composition|focus start|focus length"; a burst is a list of
// them separated by ";".
void feed(CompositionNarration& narration, const QString& burst) {
    for (const QString& event : burst.split(QLatin1Char(';'))) {
        const QStringList parts = event.split(QLatin1Char('|'));
        Composition composition{parts.value(1)};
        composition.focusStart = parts.value(2).toInt();
        composition.focusLength = parts.value(3).toInt();
        narration.inputMethodEvent(parts.value(0), composition);
    }
}

QStringList kanjiLines() {
    QFile file(kBuiltTable.first() + QLatin1Char('/') + QLatin1String(KanjiReadings::kFileName));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n')))
        if (!line.isEmpty() && !line.startsWith(QLatin1Char('#')))
            lines << line;
    return lines;
}

} // namespace

class CompositionTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void kanjiReadings_data();
    void kanjiReadings();
    void everyKanjiOfTheTableIsFound();
    void homophonesSoundDifferent();
    void announcements_data();
    void announcements();
    void clauseBeingConvertedIsTheHighlightedOne();
};

void CompositionTest::kanjiReadings_data() {
    QTest::addColumn<QString>("kanji");
    QTest::addColumn<QStringList>("on");
    QTest::addColumn<QStringList>("kun");
    QTest::newRow("髪") << "髪" << QStringList{"ハツ"} << QStringList{"かみ"};
    QTest::newRow("神: the dictionary's order")
        << "神" << QStringList{"シン", "ジン"} << QStringList{"かみ", "かん", "こう"};
    QTest::newRow("食: okurigana joined, affix marks gone")
        << "食" << QStringList{"ショク", "ジキ"} << QStringList{"くう", "くらう", "たべる", "はむ"};
    QTest::newRow("kana has none") << "か" << QStringList{} << QStringList{};
    QTest::newRow("ASCII has none") << "a" << QStringList{} << QStringList{};
}

void CompositionTest::kanjiReadings() {
    QFETCH(QString, kanji);
    QFETCH(QStringList, on);
    QFETCH(QStringList, kun);
    const KanjiReadings readings(kBuiltTable);
    const KanjiReadings::Readings found = readings.of(kanji.toUcs4().first());
    QCOMPARE(found.on, on);
    QCOMPARE(found.kun, kun);
}

// The search finds every line, the first and the last included, and a missing table finds
// nothing without failing.
void CompositionTest::everyKanjiOfTheTableIsFound() {
    const QStringList lines = kanjiLines();
    QVERIFY2(lines.size() > 10000, "the table made from KANJIDIC2 is missing or short");
    const KanjiReadings readings(kBuiltTable);
    for (const QString& line : lines) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        const KanjiReadings::Readings found = readings.of(fields[0].toUcs4().first());
        QVERIFY2(found.on.join(QLatin1Char(' ')) == fields[1] &&
                     found.kun.join(QLatin1Char(' ')) == fields[2],
                 qPrintable(line));
    }
    const KanjiReadings none({QStringLiteral("/nonexistent")});
    QVERIFY(none.of(U'神').on.isEmpty());
}

// 紙, 神 and 髪 all read カミ: what is said of each must differ.
void CompositionTest::homophonesSoundDifferent() {
    const KanjiReadings readings(kBuiltTable);
    const CompositionNarration narration(readings);
    const QString paper = narration.candidateWithReadings(QStringLiteral("紙"));
    const QString god = narration.candidateWithReadings(QStringLiteral("神"));
    const QString hair = narration.candidateWithReadings(QStringLiteral("髪"));
    QCOMPARE(hair, QStringLiteral("髪、ハツ、かみ"));
    QCOMPARE(god, QStringLiteral("神、シン、ジン、かみ、かん"));
    QVERIFY(paper != god && paper != hair);
    // Each kanji of a word once, in order.
    QCOMPARE(narration.candidateWithReadings(QStringLiteral("神々の髪")),
             QStringLiteral("神々の髪、シン、ジン、かみ、かん、ハツ、かみ"));
}

void CompositionTest::announcements_data() {
    QTest::addColumn<QStringList>("bursts");
    QTest::addColumn<QStringList>("said");
    const QString cancelled = CompositionNarration::kCancelled;
    QTest::newRow("composing, letter by letter")
        << QStringList{"|ｋ", "|か", "|かｍ", "|かみ"} << QStringList{"ｋ", "か", "かｍ", "かみ"};
    QTest::newRow("a rub-out says what is left")
        << QStringList{"|かみ", "|か"} << QStringList{"かみ", "か"};
    QTest::newRow("cancelled") << QStringList{"|かみ", "|"} << QStringList{"かみ", cancelled};
    QTest::newRow("rubbed out to nothing is cancelled too")
        << QStringList{"|か", "|"} << QStringList{"か", cancelled};
    QTest::newRow("candidates, then the commit, once")
        << QStringList{"|かみ", "|髪|0|1", "|神|0|1", "神|"}
        << QStringList{"かみ", "髪、ハツ、かみ", "神、シン、ジン、かみ、かん", "神"};
    QTest::newRow("commit and the next composition in one burst")
        << QStringList{"|神|0|1", "神|;|ｋ"} << QStringList{"神、シン、ジン、かみ、かん", "神、ｋ"};
    QTest::newRow("the clause being converted, in a sentence")
        << QStringList{"|紙と髪|0|1", "|紙と髪|2|1"}
        << QStringList{"紙、シ、かみ", "髪、ハツ、かみ"};
    QTest::newRow("the same state again says nothing")
        << QStringList{"|かみ", "|かみ", "|髪|0|1", "|髪|0|1"}
        << QStringList{"かみ", "", "髪、ハツ、かみ", ""};
    QTest::newRow("a commit without composition (direct input)")
        << QStringList{"a|", "b|"} << QStringList{"a", "b"};
    QTest::newRow("nothing after nothing") << QStringList{"|", "|"} << QStringList{"", ""};
}

// Each burst of events, and what is said after it.
void CompositionTest::announcements() {
    QFETCH(QStringList, bursts);
    QFETCH(QStringList, said);
    const KanjiReadings readings(kBuiltTable);
    CompositionNarration narration(readings);
    QStringList heard;
    for (const QString& burst : bursts) {
        feed(narration, burst);
        heard << narration.takeAnnouncement();
    }
    QCOMPARE(heard, said);
    QCOMPARE(narration.takeAnnouncement(), QString()); // no event, nothing to say
}

// The input methods mark the clause being converted with a background (fcitx5 and IBus
// alike); the underline alone marks a composition.
void CompositionTest::clauseBeingConvertedIsTheHighlightedOne() {
    QTextCharFormat underline;
    underline.setUnderlineStyle(QTextCharFormat::DashUnderline);
    QTextCharFormat highlight = underline;
    highlight.setBackground(Qt::blue);
    using A = QInputMethodEvent::Attribute;
    const QInputMethodEvent converting(QStringLiteral("今日はいい天気"),
                                       {A(QInputMethodEvent::TextFormat, 0, 3, underline),
                                        A(QInputMethodEvent::TextFormat, 3, 4, highlight),
                                        A(QInputMethodEvent::Cursor, 7, 0)});
    QCOMPARE(CompositionAnnouncer::compositionOf(converting),
             (Composition{QStringLiteral("今日はいい天気"), 3, 4}));
    const QInputMethodEvent composing(QStringLiteral("きょう"),
                                      {A(QInputMethodEvent::TextFormat, 0, 3, underline)});
    QCOMPARE(CompositionAnnouncer::compositionOf(composing), (Composition{"きょう", 0, 0}));
}

QTEST_MAIN(CompositionTest)
#include "tst_composition.moc"

// The finger assignment table and the rules that pick the next key, without any window.

#include "FakePlatform.h"

#include "common/Counts.h"
#include "fingers/DrillRules.h"
#include "fingers/FingerTable.h"

#include <QSet>
#include <QTest>

#include <cmath>

using namespace tokotoko;
using namespace tokotoko::fingers;

Q_DECLARE_METATYPE(tokotoko::fingers::KeySet)

namespace {

// The two halves of a label around its ideographic space.
QStringList labelParts(const QString& label) {
    return label.split(QChar(0x3000));
}

QString readingOfFinger(const QString& finger) {
    if (finger == QStringLiteral("人さし指"))
        return QStringLiteral("ひとさしゆび");
    if (finger == QStringLiteral("中指"))
        return QStringLiteral("なかゆび");
    if (finger == QStringLiteral("くすり指"))
        return QStringLiteral("くすりゆび");
    if (finger == QStringLiteral("小指"))
        return QStringLiteral("こゆび");
    return QStringLiteral("?");
}

// How a key is named in a reading: full-width capitals, with "F", "V" and the symbols spelled.
QString readingOfKey(const QString& key) {
    static const QHash<QString, QString> spelled{
        {QStringLiteral("F"), QStringLiteral("えふ")},
        {QStringLiteral("V"), QStringLiteral("ぶい")},
        {QStringLiteral(","), QStringLiteral("ｶﾝﾏ")},
        {QStringLiteral("."), QStringLiteral("ﾋﾟﾘｵﾄﾞ")},
        {QStringLiteral(";"), QStringLiteral("ｾﾐｺﾛﾝ")},
        {QStringLiteral("/"), QStringLiteral("ｽﾗｯｼｭ")},
    };
    if (spelled.contains(key))
        return spelled.value(key);
    return QString(QChar(0xFF21 + (key.at(0).unicode() - u'A')));
}

QString guideHandOf(const QString& challengeHand) {
    return challengeHand == QStringLiteral("左手") ? QStringLiteral("ひだり")
                                                   : QStringLiteral("みぎ");
}

} // namespace

class FingerTableTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void guideCycleWrapsAfterTheSlash();
    void aCounterOffTheSequenceStartsOver();
    void listedEntries_data();
    void listedEntries();
    void readingsNameHandFingerAndKey();
    void everyKeyHasOneFingerInEveryList();
    void alphabetSetIsTheLettersOfTheFullSetInOrder();
    void symbolsSetHoldsEachKeyOnce();
    void drawStaysWithinTheSet_data();
    void drawStaysWithinTheSet();
    void everyDrawReseedsTheGenerator();
    void countsStopAtTheTopAndShowTheirSign_data();
    void countsStopAtTheTopAndShowTheirSign();
    void onlyAsciiLettersAreUpperCased_data();
    void onlyAsciiLettersAreUpperCased();
};

void FingerTableTest::guideCycleWrapsAfterTheSlash() {
    const QString expected = QStringLiteral("FRVGTBJUMHYNDECKI,SWXLO.AQZ;P/FRV");
    qint16 counter = 0;
    QString shown; // nothing is shown when the drill opens
    QString walked;
    for (int step = 0; step < expected.size(); ++step) {
        counter = nextGuidePosition(counter, shown);
        QVERIFY2(counter >= 1 && counter <= kGuideCount, qPrintable(QString::number(counter)));
        shown = guideEntry(counter).key;
        walked += shown;
    }
    QCOMPARE(walked, expected);
}

void FingerTableTest::aCounterOffTheSequenceStartsOver() {
    QCOMPARE(nextGuidePosition(30, QStringLiteral("F")), qint16(1));
    QCOMPARE(nextGuidePosition(-5, QString()), qint16(1));
    QCOMPARE(nextGuidePosition(29, QStringLiteral("P")), qint16(30));
}

void FingerTableTest::listedEntries_data() {
    QTest::addColumn<int>("list"); // 0 guide, 26 alphabet, 43 symbols and numbers
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("reading");
    QTest::newRow("guide 1") << 0 << 1 << "F"
                             << "ひだり　人さし指"
                             << "ひだりひとさしゆびえふ";
    QTest::newRow("guide 3") << 0 << 3 << "V"
                             << "ひだり　人さし指"
                             << "ひだりひとさしゆびぶい";
    QTest::newRow("guide 18") << 0 << 18 << ","
                              << "みぎ　中指"
                              << "みぎなかゆびｶﾝﾏ";
    QTest::newRow("guide 24") << 0 << 24 << "."
                              << "みぎ　くすり指"
                              << "みぎくすりゆびﾋﾟﾘｵﾄﾞ";
    QTest::newRow("guide 25") << 0 << 25 << "A"
                              << "ひだり　小指"
                              << "ひだり小ゆびＡ";
    QTest::newRow("guide 28") << 0 << 28 << ";"
                              << "みぎ　小指"
                              << "みぎこゆびｾﾐｺﾛﾝ";
    QTest::newRow("guide 30") << 0 << 30 << "/"
                              << "みぎ　小指"
                              << "みぎこゆびｽﾗｯｼｭ";
    QTest::newRow("alphabet 1") << 26 << 1 << "F"
                                << "左手　人さし指"
                                << "";
    QTest::newRow("alphabet 17") << 26 << 17 << "I"
                                 << "右手　中指"
                                 << "";
    QTest::newRow("alphabet 18") << 26 << 18 << "S"
                                 << "左手　くすり指"
                                 << "";
    QTest::newRow("alphabet 23") << 26 << 23 << "A"
                                 << "左手　小指"
                                 << "";
    QTest::newRow("alphabet 26") << 26 << 26 << "P"
                                 << "右手　小指"
                                 << "";
    QTest::newRow("symbols 18") << 43 << 18 << ","
                                << "右手　中指"
                                << "";
    QTest::newRow("symbols 31") << 43 << 31 << "1"
                                << "左手　小指"
                                << "";
    QTest::newRow("symbols 32") << 43 << 32 << "2"
                                << "左手　くすり指"
                                << "";
    QTest::newRow("symbols 36") << 43 << 36 << "6"
                                << "右手　人さし指"
                                << "";
    QTest::newRow("symbols 40") << 43 << 40 << "0"
                                << "右手　小指"
                                << "";
    QTest::newRow("symbols 41") << 43 << 41 << "@"
                                << "右手　小指"
                                << "";
    QTest::newRow("symbols 42") << 43 << 42 << "-"
                                << "右手　小指"
                                << "";
    QTest::newRow("symbols 43") << 43 << 43 << ":"
                                << "右手　小指"
                                << "";
}

void FingerTableTest::listedEntries() {
    QFETCH(int, list);
    QFETCH(int, number);
    QFETCH(QString, key);
    QFETCH(QString, label);
    QFETCH(QString, reading);
    if (list == 0) {
        const GuideEntry entry = guideEntry(number);
        QCOMPARE(entry.key, key);
        QCOMPARE(entry.fingerLabel, label);
        QCOMPARE(entry.reading, reading);
    } else {
        const ChallengeEntry entry =
            challengeEntry(list == 26 ? KeySet::Alphabet : KeySet::SymbolsAndNumbers, number);
        QCOMPARE(entry.key, key);
        QCOMPARE(entry.fingerLabel, label);
    }
}

// Each reading joins hand, finger and key name as the labels say; only "A" writes 小.
void FingerTableTest::readingsNameHandFingerAndKey() {
    for (int number = 1; number <= kGuideCount; ++number) {
        const GuideEntry entry = guideEntry(number);
        const QStringList parts = labelParts(entry.fingerLabel);
        QCOMPARE(parts.size(), 2);
        QString expected = parts[0] + readingOfFinger(parts[1]) + readingOfKey(entry.key);
        if (entry.key == QStringLiteral("A"))
            expected = QStringLiteral("ひだり小ゆびＡ");
        QCOMPARE(entry.reading, expected);
    }
}

void FingerTableTest::everyKeyHasOneFingerInEveryList() {
    for (int number = 1; number <= kSymbolsAndNumbersCount; ++number) {
        const ChallengeEntry entry = challengeEntry(KeySet::SymbolsAndNumbers, number);
        const QStringList parts = labelParts(entry.fingerLabel);
        QCOMPARE(parts.size(), 2);
        QVERIFY(parts[0] == QStringLiteral("左手") || parts[0] == QStringLiteral("右手"));
        if (number <= kGuideCount) {
            const GuideEntry guide = guideEntry(number);
            QCOMPARE(guide.key, entry.key);
            QCOMPARE(guide.fingerLabel, guideHandOf(parts[0]) + QChar(0x3000) + parts[1]);
        }
    }
}

void FingerTableTest::alphabetSetIsTheLettersOfTheFullSetInOrder() {
    QStringList fromFullSet;
    QHash<QString, QString> labelOf;
    for (int number = 1; number <= kSymbolsAndNumbersCount; ++number) {
        const ChallengeEntry entry = challengeEntry(KeySet::SymbolsAndNumbers, number);
        labelOf.insert(entry.key, entry.fingerLabel);
        if (entry.key.at(0).isLetter())
            fromFullSet << entry.key;
    }
    QCOMPARE(keySetSize(KeySet::Alphabet), 26);
    QStringList alphabet;
    for (int number = 1; number <= 26; ++number) {
        const ChallengeEntry entry = challengeEntry(KeySet::Alphabet, number);
        QCOMPARE(entry.fingerLabel, labelOf.value(entry.key));
        alphabet << entry.key;
    }
    QCOMPARE(alphabet, fromFullSet);
    QCOMPARE(QSet<QString>(alphabet.begin(), alphabet.end()).size(), 26);
}

void FingerTableTest::symbolsSetHoldsEachKeyOnce() {
    QSet<QString> keys;
    for (int number = 1; number <= kSymbolsAndNumbersCount; ++number)
        keys.insert(challengeEntry(KeySet::SymbolsAndNumbers, number).key);
    QSet<QString> expected;
    for (const QChar key : QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789,.;/@-:"))
        expected.insert(QString(key));
    QCOMPARE(keys, expected);
    QCOMPARE(keySetSize(KeySet::SymbolsAndNumbers), 43);
}

void FingerTableTest::drawStaysWithinTheSet_data() {
    QTest::addColumn<float>("r");
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("entry");
    const float belowOne = std::nextafter(1.0f, 0.0f);
    QTest::newRow("0 of 26") << 0.0f << 26 << 1;
    QTest::newRow("just below 1 of 26") << belowOne << 26 << 26;
    QTest::newRow("0 of 43") << 0.0f << 43 << 1;
    QTest::newRow("just below 1 of 43") << belowOne << 43 << 43;
    QTest::newRow("half of 26") << 0.5f << 26 << 14;
    QTest::newRow("half of 43") << 0.5f << 43 << 22;
    QTest::newRow("a tenth of 26 is truncated, not rounded") << 0.1f << 26 << 3;
    // A generator breaking its promise still yields an entry of the set.
    QTest::newRow("1 of 26") << 1.0f << 26 << 26;
    QTest::newRow("negative of 43") << -0.25f << 43 << 1;
}

void FingerTableTest::drawStaysWithinTheSet() {
    QFETCH(float, r);
    QFETCH(int, n);
    QFETCH(int, entry);
    QCOMPARE(entryNumberFor(r, n), entry);
}

void FingerTableTest::everyDrawReseedsTheGenerator() {
    test::FakeClock clock;
    clock.randoms = {0.0f, std::nextafter(1.0f, 0.0f)};
    clock.nextRandom = 0.5f;
    QCOMPARE(drawEntryNumber(clock, 43), 1);
    QCOMPARE(drawEntryNumber(clock, 43), 43);
    QCOMPARE(drawEntryNumber(clock, 26), 14);
    QCOMPARE(clock.reseeds, 3);
}

void FingerTableTest::countsStopAtTheTopAndShowTheirSign_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("next");
    QTest::addColumn<QString>("shown");
    QTest::newRow("zero") << 0 << 1 << " 0";
    QTest::newRow("twelve") << 12 << 13 << " 12";
    QTest::newRow("negative") << -3 << -2 << "-3";
    QTest::newRow("one below the top") << 32766 << 32767 << " 32766";
    QTest::newRow("the top") << 32767 << 32767 << " 32767";
}

void FingerTableTest::countsStopAtTheTopAndShowTheirSign() {
    QFETCH(int, count);
    QFETCH(int, next);
    QFETCH(QString, shown);
    QCOMPARE(int(addOne(static_cast<qint16>(count))), next);
    QCOMPARE(countText(count), shown);
}

void FingerTableTest::onlyAsciiLettersAreUpperCased_data() {
    QTest::addColumn<int>("typed");
    QTest::addColumn<QString>("judged");
    QTest::newRow("a") << int('a') << "A";
    QTest::newRow("z") << int('z') << "Z";
    QTest::newRow("Q stays") << int('Q') << "Q";
    QTest::newRow("@ stays") << int('@') << "@";
    QTest::newRow("space stays") << int(' ') << " ";
    QTest::newRow("full-width a stays") << 0xFF41 << "ａ";
    QTest::newRow("accented stays") << 0xE9 << "é";
    QTest::newRow("beyond the basic plane") << 0x1F600 << "😀";
}

void FingerTableTest::onlyAsciiLettersAreUpperCased() {
    QFETCH(int, typed);
    QFETCH(QString, judged);
    QCOMPARE(characterText(upperCased(typed)), judged);
}

QTEST_APPLESS_MAIN(FingerTableTest)
#include "tst_fingertable.moc"

// The results of a text run, from the lines judged and the run's minutes: a table of runs and
// the line each one ends with, as shown and as a screen reader is given it.

#include "text/RunResults.h"

#include <QTest>

using namespace tokotoko;

namespace {

enum class Language { Japanese, English };

ResultsText resultsOf(Language language, const QStringList& right, const QStringList& wrong,
                      qint64 runMs) {
    LineTally tally;
    for (const QString& line : right)
        tally.addRight(line);
    for (const QString& line : wrong)
        tally.addWrong(line);
    return language == Language::Japanese ? japaneseResults(tally, runMs)
                                          : englishResults(tally, runMs);
}

QString repeated(const char16_t* character, int times) {
    return QString::fromUtf16(character).repeated(times);
}

} // namespace

Q_DECLARE_METATYPE(Language)

class ResultsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void runs_data();
    void runs();
};

void ResultsTest::runs_data() {
    QTest::addColumn<Language>("language");
    QTest::addColumn<QStringList>("right");
    QTest::addColumn<QStringList>("wrong");
    QTest::addColumn<qint64>("runMs");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("spoken");
    const auto ja = Language::Japanese;
    const auto en = Language::English;
    const qint64 minute = 60'000;

    // 72 characters right of 75 judged, in one minute.
    QTest::newRow("a run of a minute")
        << ja << QStringList{repeated(u"あ", 40), repeated(u"漢", 32)}
        << QStringList{QStringLiteral("いいえ")} << minute
        << QStringLiteral("72字/分　正確さ 96%\n10分 720字 1級相当")
        << QStringLiteral("72字/分　正確さ 96%　10分 720字 1級相当");
    QTest::newRow("no right line")
        << ja << QStringList{} << QStringList{QStringLiteral("今日は"), QStringLiteral("晴れ")}
        << 3 * minute << QStringLiteral("0字/分　正確さ 0%\n10分 0字")
        << QStringLiteral("0字/分　正確さ 0%　10分 0字");
    QTest::newRow("one second") << ja << QStringList{QStringLiteral("いい天気ですね")}
                                << QStringList{} << qint64{1000}
                                << QStringLiteral("420字/分　正確さ 100%\n10分 4200字 1級相当")
                                << QStringLiteral("420字/分　正確さ 100%　10分 4200字 1級相当");
    // A character is a code point: 𠮷 takes two UTF-16 units, the full-width space one.
    QTest::newRow("code points, kana, kanji, punctuation and spaces")
        << ja << QStringList{QStringLiteral("𠮷野家　です。 ")} << QStringList{} << minute
        << QStringLiteral("8字/分　正確さ 100%\n10分 80字")
        << QStringLiteral("8字/分　正確さ 100%　10分 80字");
    QTest::newRow("just short of the lowest grade")
        << ja << QStringList{repeated(u"あ", 19)} << QStringList{} << minute
        << QStringLiteral("19字/分　正確さ 100%\n10分 190字")
        << QStringLiteral("19字/分　正確さ 100%　10分 190字");
    QTest::newRow("the lowest grade")
        << ja << QStringList{repeated(u"あ", 20)} << QStringList{} << minute
        << QStringLiteral("20字/分　正確さ 100%\n10分 200字 4級相当")
        << QStringLiteral("20字/分　正確さ 100%　10分 200字 4級相当");
    // 45 characters in 50 seconds: 54 a minute, 540 in ten.
    QTest::newRow("between grades, speed rounded down")
        << ja << QStringList{repeated(u"あ", 45)} << QStringList{} << qint64{50'000}
        << QStringLiteral("54字/分　正確さ 100%\n10分 540字 2級相当")
        << QStringLiteral("54字/分　正確さ 100%　10分 540字 2級相当");
    // 70 characters in 60.5 seconds is 69.4 a minute: not yet 700 in ten minutes.
    QTest::newRow("rounding never reaches a grade early")
        << ja << QStringList{repeated(u"あ", 70)} << QStringList{} << qint64{60'500}
        << QStringLiteral("69字/分　正確さ 100%\n10分 690字 準1級相当")
        << QStringLiteral("69字/分　正確さ 100%　10分 690字 準1級相当");
    // 199 of 200 is not 100 %.
    QTest::newRow("accuracy rounded down")
        << ja << QStringList{repeated(u"あ", 199)} << QStringList{QStringLiteral("い")} << minute
        << QStringLiteral("199字/分　正確さ 99%\n10分 1990字 1級相当")
        << QStringLiteral("199字/分　正確さ 99%　10分 1990字 1級相当");
    QTest::newRow("no time on the clock: accuracy alone")
        << ja << QStringList{QStringLiteral("はい")} << QStringList{} << qint64{0}
        << QStringLiteral("正確さ 100%") << QStringLiteral("正確さ 100%");
    QTest::newRow("nothing judged: speed alone")
        << ja << QStringList{} << QStringList{} << minute << QStringLiteral("0字/分\n10分 0字")
        << QStringLiteral("0字/分　10分 0字");
    QTest::newRow("nothing to tell")
        << ja << QStringList{} << QStringList{} << qint64{0} << QString() << QString();

    // 225 characters are 45 five-character words; 225 of 228 right.
    QTest::newRow("English: a run of a minute")
        << en << QStringList(15, QStringLiteral("Tea, please! Ok"))
        << QStringList{QStringLiteral("Ok.")} << minute << QStringLiteral("45 WPM\nAccuracy 98%")
        << QStringLiteral("45 WPM, Accuracy 98%");
    QTest::newRow("English: no right line")
        << en << QStringList{} << QStringList{QStringLiteral("Tea, please!")} << minute
        << QStringLiteral("0 WPM\nAccuracy 0%") << QStringLiteral("0 WPM, Accuracy 0%");
    QTest::newRow("English: one second")
        << en << QStringList{QStringLiteral("Hello, world.")} << QStringList{} << qint64{1000}
        << QStringLiteral("156 WPM\nAccuracy 100%") << QStringLiteral("156 WPM, Accuracy 100%");
}

void ResultsTest::runs() {
    QFETCH(Language, language);
    QFETCH(QStringList, right);
    QFETCH(QStringList, wrong);
    QFETCH(qint64, runMs);
    QFETCH(QString, shown);
    QFETCH(QString, spoken);
    const ResultsText results = resultsOf(language, right, wrong, runMs);
    QCOMPARE(results.shown, shown);
    QCOMPARE(results.spoken, spoken);
}

QTEST_APPLESS_MAIN(ResultsTest)
#include "tst_results.moc"

#pragma once

// The results of a text run
// -------------------------
// At the end of a line practice or a timed challenge the learner is told their speed and
// accuracy in the measures teachers use: characters per minute, with the ten-minute projection
// and the grade of the Japanese word-processing certification's speed test it reaches, or
// words per minute for English. Plain arithmetic, no widgets; docs/results.md gives the
// definitions and their sources.

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>

namespace tokotoko {

// The characters of the lines judged in a run: a character is a code point of a line as the
// text holds it (kana, kanji, punctuation and spaces alike).
struct LineTally {
    qint64 rightCharacters = 0;  // of the lines typed right
    qint64 judgedCharacters = 0; // of every judged line, right or wrong

    void addRight(const QString& line);
    void addWrong(const QString& line);
};

qint64 characterCount(const QString& line);

// Whole characters (or five-character words) per minute, rounded down; none for a run that
// took no time on its clock.
std::optional<qint64> charactersPerMinute(qint64 characters, qint64 runMs);
std::optional<qint64> wordsPerMinute(qint64 characters, qint64 runMs);
// Whole percent, rounded down, so that only a run without a wrong line shows 100; none when
// no line was judged.
std::optional<int> accuracyPercent(const LineTally& tally);
// The highest grade whose ten-minute threshold `tenMinuteCharacters` reaches ("1級" to "4級"),
// or an empty string.
QString certificationGrade(qint64 tenMinuteCharacters);

// The results line as shown (in two rows) and as a screen reader is given it (one line).
struct ResultsText {
    QString shown;
    QString spoken;
    bool isEmpty() const { return shown.isEmpty(); }
};

// "72字/分　正確さ 96%" over "10分 720字 1級相当"; a measure that cannot be taken is left out.
ResultsText japaneseResults(const LineTally& tally, qint64 runMs);
// "45 WPM" over "Accuracy 96%".
ResultsText englishResults(const LineTally& tally, qint64 runMs);

} // namespace tokotoko

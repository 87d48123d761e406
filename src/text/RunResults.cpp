#include "RunResults.h"

#include <array>

namespace tokotoko {
namespace {

constexpr qint64 kMsPerMinute = 60 * 1000;
constexpr qint64 kCharactersPerWord = 5;
constexpr qint64 kCertificationMinutes = 10;

struct Grade {
    qint64 tenMinuteCharacters;
    const char16_t* name;
};

// The speed test's pass marks, highest first.
constexpr std::array<Grade, 6> kGrades{{
    {700, u"1級"},
    {600, u"準1級"},
    {500, u"2級"},
    {400, u"準2級"},
    {300, u"3級"},
    {200, u"4級"},
}};

QString percentText(int percent) {
    return QString::number(percent) + QLatin1Char('%');
}

ResultsText joinRows(const QStringList& rows, const QString& separator) {
    return {rows.join(QLatin1Char('\n')), rows.join(separator)};
}

} // namespace

qint64 characterCount(const QString& line) {
    return line.toUcs4().size();
}

void LineTally::addRight(const QString& line) {
    const qint64 count = characterCount(line);
    rightCharacters += count;
    judgedCharacters += count;
}

void LineTally::addWrong(const QString& line) {
    judgedCharacters += characterCount(line);
}

std::optional<qint64> charactersPerMinute(qint64 characters, qint64 runMs) {
    if (runMs <= 0)
        return std::nullopt;
    return characters * kMsPerMinute / runMs;
}

std::optional<qint64> wordsPerMinute(qint64 characters, qint64 runMs) {
    if (runMs <= 0)
        return std::nullopt;
    return characters * kMsPerMinute / (kCharactersPerWord * runMs);
}

std::optional<int> accuracyPercent(const LineTally& tally) {
    if (tally.judgedCharacters <= 0)
        return std::nullopt;
    return static_cast<int>(tally.rightCharacters * 100 / tally.judgedCharacters);
}

QString certificationGrade(qint64 tenMinuteCharacters) {
    for (const Grade& grade : kGrades) {
        if (tenMinuteCharacters >= grade.tenMinuteCharacters)
            return QString::fromUtf16(grade.name);
    }
    return {};
}

// The projection is the speed shown times ten, so the two numbers always agree on screen; as
// the pass marks are whole hundreds, rounding the speed down first never changes the grade.
ResultsText japaneseResults(const LineTally& tally, qint64 runMs) {
    const std::optional<qint64> perMinute = charactersPerMinute(tally.rightCharacters, runMs);
    const std::optional<int> accuracy = accuracyPercent(tally);
    QStringList first;
    if (perMinute)
        first << QString::number(*perMinute) + QStringLiteral("字/分");
    if (accuracy)
        first << QStringLiteral("正確さ ") + percentText(*accuracy);
    QStringList rows;
    if (!first.isEmpty())
        rows << first.join(QStringLiteral("　"));
    if (perMinute) {
        const qint64 projection = *perMinute * kCertificationMinutes;
        QString second =
            QStringLiteral("10分 ") + QString::number(projection) + QStringLiteral("字");
        const QString grade = certificationGrade(projection);
        if (!grade.isEmpty())
            second += QLatin1Char(' ') + grade + QStringLiteral("相当");
        rows << second;
    }
    return joinRows(rows, QStringLiteral("　"));
}

ResultsText englishResults(const LineTally& tally, qint64 runMs) {
    QStringList rows;
    if (const std::optional<qint64> words = wordsPerMinute(tally.rightCharacters, runMs))
        rows << QString::number(*words) + QStringLiteral(" WPM");
    if (const std::optional<int> accuracy = accuracyPercent(tally))
        rows << QStringLiteral("Accuracy ") + percentText(*accuracy);
    return joinRows(rows, QStringLiteral(", "));
}

} // namespace tokotoko

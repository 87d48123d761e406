#include "FingerTable.h"

#include "platform/Clock.h"

#include <QChar>

#include <array>
#include <cmath>

namespace tokotoko::fingers {
namespace {

struct KeyFinger {
    char key;
    Hand hand;
    Finger finger;
};

constexpr Hand L = Hand::Left;
constexpr Hand R = Hand::Right;
constexpr Finger Index = Finger::Index;
constexpr Finger Middle = Finger::Middle;
constexpr Finger Ring = Finger::Ring;
constexpr Finger Little = Finger::Little;

// Every key the drills ask, finger by finger from the index fingers outwards, then the digit
// row and the three unshifted symbols of the JIS layout right of "P" and "0".
constexpr std::array<KeyFinger, kSymbolsAndNumbersCount> kKeys{{
    {'F', L, Index},  {'R', L, Index},  {'V', L, Index},  {'G', L, Index},  {'T', L, Index},
    {'B', L, Index},  {'J', R, Index},  {'U', R, Index},  {'M', R, Index},  {'H', R, Index},
    {'Y', R, Index},  {'N', R, Index},  {'D', L, Middle}, {'E', L, Middle}, {'C', L, Middle},
    {'K', R, Middle}, {'I', R, Middle}, {',', R, Middle}, {'S', L, Ring},   {'W', L, Ring},
    {'X', L, Ring},   {'L', R, Ring},   {'O', R, Ring},   {'.', R, Ring},   {'A', L, Little},
    {'Q', L, Little}, {'Z', L, Little}, {';', R, Little}, {'P', R, Little}, {'/', R, Little},
    {'1', L, Little}, {'2', L, Ring},   {'3', L, Middle}, {'4', L, Index},  {'5', L, Index},
    {'6', R, Index},  {'7', R, Index},  {'8', R, Middle}, {'9', R, Ring},   {'0', R, Little},
    {'@', R, Little}, {'-', R, Little}, {':', R, Little},
}};

// What the guide drill reads out for its 30 keys, in the order of kKeys. "A" is written with
// the kanji 小 on purpose; the symbols are named in half-width katakana.
constexpr std::array<const char*, kGuideCount> kReadings{
    "ひだりひとさしゆびえふ", "ひだりひとさしゆびＲ", "ひだりひとさしゆびぶい",
    "ひだりひとさしゆびＧ",   "ひだりひとさしゆびＴ", "ひだりひとさしゆびＢ",
    "みぎひとさしゆびＪ",     "みぎひとさしゆびＵ",   "みぎひとさしゆびＭ",
    "みぎひとさしゆびＨ",     "みぎひとさしゆびＹ",   "みぎひとさしゆびＮ",
    "ひだりなかゆびＤ",       "ひだりなかゆびＥ",     "ひだりなかゆびＣ",
    "みぎなかゆびＫ",         "みぎなかゆびＩ",       "みぎなかゆびｶﾝﾏ",
    "ひだりくすりゆびＳ",     "ひだりくすりゆびＷ",   "ひだりくすりゆびＸ",
    "みぎくすりゆびＬ",       "みぎくすりゆびＯ",     "みぎくすりゆびﾋﾟﾘｵﾄﾞ",
    "ひだり小ゆびＡ",         "ひだりこゆびＱ",       "ひだりこゆびＺ",
    "みぎこゆびｾﾐｺﾛﾝ",        "みぎこゆびＰ",         "みぎこゆびｽﾗｯｼｭ",
};

bool isLetter(char key) {
    return key >= 'A' && key <= 'Z';
}

// Indices into kKeys of the letters, in list order: the alphabet set is not a second copy.
const std::array<int, kAlphabetCount>& alphabetIndices() {
    static const std::array<int, kAlphabetCount> indices = [] {
        std::array<int, kAlphabetCount> letters{};
        std::size_t next = 0;
        for (std::size_t i = 0; i < kKeys.size(); ++i) {
            if (isLetter(kKeys[i].key) && next < letters.size())
                letters[next++] = static_cast<int>(i);
        }
        return letters;
    }();
    return indices;
}

std::size_t clampedIndex(int number, int count) {
    return static_cast<std::size_t>(qBound(1, number, count) - 1);
}

QString keyText(const KeyFinger& entry) {
    return QString(QChar::fromLatin1(entry.key));
}

} // namespace

QString fingerLabel(Hand hand, Finger finger, LabelStyle style) {
    const bool left = hand == Hand::Left;
    const QString handText = style == LabelStyle::Guide
                                 ? (left ? QStringLiteral("ひだり") : QStringLiteral("みぎ"))
                                 : (left ? QStringLiteral("左手") : QStringLiteral("右手"));
    QString fingerText;
    switch (finger) {
    case Finger::Index:
        fingerText = QStringLiteral("人さし指");
        break;
    case Finger::Middle:
        fingerText = QStringLiteral("中指");
        break;
    case Finger::Ring:
        fingerText = QStringLiteral("くすり指");
        break;
    case Finger::Little:
        fingerText = QStringLiteral("小指");
        break;
    }
    return handText + QChar(0x3000) + fingerText;
}

GuideEntry guideEntry(int number) {
    const std::size_t index = clampedIndex(number, kGuideCount);
    const KeyFinger& entry = kKeys[index];
    return {keyText(entry), fingerLabel(entry.hand, entry.finger, LabelStyle::Guide),
            QString::fromUtf8(kReadings[index])};
}

ChallengeEntry challengeEntry(KeySet set, int number) {
    std::size_t index = clampedIndex(number, keySetSize(set));
    if (set == KeySet::Alphabet)
        index = static_cast<std::size_t>(alphabetIndices()[index]);
    const KeyFinger& entry = kKeys[index];
    return {keyText(entry), fingerLabel(entry.hand, entry.finger, LabelStyle::Challenge)};
}

int keySetSize(KeySet set) {
    return set == KeySet::Alphabet ? kAlphabetCount : kSymbolsAndNumbersCount;
}

qint16 nextGuidePosition(qint16 counter, const QString& shownKey) {
    // A counter outside the sequence cannot come from the drill; start over rather than run off
    // the end.
    if (shownKey == QLatin1String("/") || counter < 0 || counter >= kGuideCount)
        counter = 0;
    return static_cast<qint16>(counter + 1);
}

int entryNumberFor(float r, int n) {
    const double number = std::floor(static_cast<double>(r) * n + 1.0);
    // A generator that broke its promise of r < 1 still gives an entry of the set.
    if (!(number >= 1.0))
        return 1;
    return number > n ? n : static_cast<int>(number);
}

int drawEntryNumber(Clock& clock, int n) {
    return entryNumberFor(clock.reseededRandom(), n);
}

} // namespace tokotoko::fingers

#pragma once

// The content of the finger drills: which hand and finger strike each key they can ask, the
// label that names that finger on screen, and, for the guide drill, a reading in kana. There
// is one list of 43 keys; the guide drill walks its first 30 entries in order, the alphabet
// game draws from its 26 letters, the symbols-and-numbers game from all 43.

#include <QString>
#include <QtGlobal>

namespace tokotoko {

class Clock;

namespace fingers {

enum class Hand { Left, Right };
enum class Finger { Index, Middle, Ring, Little };

// The guide drill writes the hand in hiragana ("ひだり　人さし指"), the games in kanji
// ("左手　人さし指"); both put one ideographic space between hand and finger.
enum class LabelStyle { Guide, Challenge };

QString fingerLabel(Hand hand, Finger finger, LabelStyle style);

struct GuideEntry {
    QString key;         // "F"
    QString fingerLabel; // "ひだり　人さし指"
    QString reading;     // "ひだりひとさしゆびえふ"
};

struct ChallengeEntry {
    QString key;
    QString fingerLabel; // challenge style
};

enum class KeySet { Alphabet, SymbolsAndNumbers };

inline constexpr int kGuideCount = 30;
inline constexpr int kAlphabetCount = 26;
inline constexpr int kSymbolsAndNumbersCount = 43;

// Entries are numbered from 1. A number outside the list gives its nearest end.
GuideEntry guideEntry(int number);
ChallengeEntry challengeEntry(KeySet set, int number);
int keySetSize(KeySet set);

// The guide drill's position after a hit: back to the start once "/" (the last entry) is
// shown, then one on. The first position after opening (counter 0) is 1.
qint16 nextGuidePosition(qint16 counter, const QString& shownKey);

// The entry number for a uniform value 0 <= r < 1 in a set of n entries: the integer part of
// r * n + 1, always 1 to n.
int entryNumberFor(float r, int n);

// A fresh draw: the generator is re-seeded from the clock before every single draw, so a
// draw depends on nothing before it.
int drawEntryNumber(Clock& clock, int n);

} // namespace fingers
} // namespace tokotoko

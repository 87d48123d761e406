#pragma once

// Small rules the three finger drills share: how a typed character is judged and how the
// games write their counts.

#include <QString>
#include <QtGlobal>

namespace tokotoko::fingers {

// The cue of a wrong key, looked up beside the program.
inline const QString kMissCue = QStringLiteral("\\ding.wav");

// The character as it is judged: "a" to "z" become "A" to "Z", everything else stays.
int upperCased(int codePoint);
// One code point as text (two UTF-16 units beyond the basic plane); empty for an invalid one.
QString characterText(int codePoint);

// A count after one more: 16-bit, it stays at 32767 instead of wrapping round.
qint16 addOne(qint16 count);
// A count as the games show it after their marks: one leading space when not negative
// (" 12"), the minus sign otherwise ("-3").
QString countText(int count);

} // namespace tokotoko::fingers

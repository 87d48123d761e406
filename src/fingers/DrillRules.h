#pragma once

// Small rules the three finger drills share: how a typed character is judged. (Their counts
// follow common/Counts.h.)

#include <QString>
#include <QtGlobal>

namespace tokotoko::fingers {

// The cue of a wrong key, looked up beside the program.
inline const QString kMissCue = QStringLiteral("\\ding.wav");

// The character as it is judged: "a" to "z" become "A" to "Z", everything else stays.
int upperCased(int codePoint);
// One code point as text (two UTF-16 units beyond the basic plane); empty for an invalid one.
QString characterText(int codePoint);

} // namespace tokotoko::fingers

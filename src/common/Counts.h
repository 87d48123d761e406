#pragma once

// Counts and clocks are 16-bit, as the windows show them.

#include <QString>
#include <QtGlobal>

namespace tokotoko {

// A count after one more: it stays at 32767 instead of wrapping round (a key held down on a
// wrong answer would get there).
qint16 addOne(qint16 count);

// A number as it follows a mark ("○", "×", "得点"): one leading space when not negative
// (" 12"), the minus sign otherwise ("-3").
QString countText(int count);

} // namespace tokotoko

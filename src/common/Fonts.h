#pragma once

#include <QFont>

namespace tokotoko {

// The two type faces of the program, by their Japanese Windows names first; on Linux they
// resolve to the metric-compatible IPA fonts (fontconfig alone would pick a face with no
// Japanese). Sizes are in points and never change with the window.
QFont pGothic(qreal points); // ＭＳ Ｐゴシック, proportional
QFont gothic(qreal points);  // ＭＳ ゴシック, fixed pitch

} // namespace tokotoko

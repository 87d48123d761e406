#include "DrillRules.h"

#include <limits>

namespace tokotoko::fingers {

int upperCased(int codePoint) {
    return codePoint >= 'a' && codePoint <= 'z' ? codePoint - ('a' - 'A') : codePoint;
}

QString characterText(int codePoint) {
    if (codePoint < 0 || codePoint > static_cast<int>(QChar::LastValidCodePoint))
        return {};
    // Not QString::fromUcs4: it drops a leading U+FEFF as a byte-order mark, and a typed
    // zero-width no-break space would be judged as the empty text.
    return QStringView(QChar::fromUcs4(static_cast<char32_t>(codePoint))).toString();
}

qint16 addOne(qint16 count) {
    return count < std::numeric_limits<qint16>::max() ? static_cast<qint16>(count + 1) : count;
}

QString countText(int count) {
    return count >= 0 ? QLatin1Char(' ') + QString::number(count) : QString::number(count);
}

} // namespace tokotoko::fingers

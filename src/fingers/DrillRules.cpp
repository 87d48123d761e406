#include "DrillRules.h"

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

} // namespace tokotoko::fingers

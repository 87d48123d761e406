#include "Counts.h"

#include <limits>

namespace tokotoko {

qint16 addOne(qint16 count) {
    return count < std::numeric_limits<qint16>::max() ? static_cast<qint16>(count + 1) : count;
}

QString countText(int count) {
    return count >= 0 ? QLatin1Char(' ') + QString::number(count) : QString::number(count);
}

} // namespace tokotoko

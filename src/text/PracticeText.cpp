#include "PracticeText.h"

namespace tokotoko {

bool PracticeText::storeLines(const QStringList& lines) {
    if (lines.isEmpty() || lines.size() > slotCount)
        return false;
    for (qsizetype i = 0; i < lines.size(); ++i)
        lineSlots[static_cast<std::size_t>(i)] = lines[i];
    linesRead = static_cast<qint16>(lines.size());
    lastLineIndex = static_cast<qint16>(lines.size() - 1);
    linePosition = 1;
    return true;
}

} // namespace tokotoko

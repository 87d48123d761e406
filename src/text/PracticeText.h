#pragma once

// The practice text of a text window
// ----------------------------------
// Each of the four text windows (the two line practices and the two timed challenges) owns one
// PracticeText as a field, so it outlives the window's controls: a window opened again finds
// the text it had. The store is filled by the open command (TextCommands.h) from a reading of
// the file (PracticeTextReader.h) and read by the windows at every key press.
//
// Whenever a text is loaded (textFileName not empty) the store describes that one file:
// 0 <= lastLineIndex <= 100, linesRead == lastLineIndex + 1, and slots 0 to lastLineIndex
// hold its lines. Slots above lastLineIndex keep whatever an earlier, longer text left there;
// the windows never reach them.

#include <QString>
#include <QStringList>

#include <array>

namespace tokotoko {

struct PracticeText {
    // Slots 0 to 100: a text has at most 101 lines.
    static constexpr int slotCount = 101;
    static constexpr qint16 maxLineIndex = slotCount - 1;

    // The file the lines came from; empty while no text is loaded.
    QString textFileName;
    // Slot i holds line i of the file, taken whole (nothing trimmed, blank lines kept).
    std::array<QString, slotCount> lineSlots;
    // The number of lines of the file.
    qint16 linesRead = 0;
    // The number of lines minus one: the slot of the text's last line.
    qint16 lastLineIndex = 0;
    // The slot the window shows next; the windows own its meaning. A reading sets it to 1
    // (the timed windows keep that); the line windows set it back to 0.
    qint16 linePosition = 0;

    bool hasText() const { return !textFileName.isEmpty(); }
    // The line at lastLineIndex.
    const QString& lastLine() const { return lineSlots[lastLineIndex]; }

    // Takes in the lines of a successful reading: `lines` must hold 1 to 101 lines. Fills
    // slots 0 to lines.size() - 1, sets linesRead and lastLineIndex, and linePosition to 1.
    // Does not touch textFileName. Returns false, changing nothing, when `lines` does not fit.
    bool storeLines(const QStringList& lines);
};

} // namespace tokotoko

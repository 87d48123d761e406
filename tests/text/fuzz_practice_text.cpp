// libFuzzer target: any bytes read as a practice text keep the store's promises.

#include "text/PracticeText.h"
#include "text/PracticeTextReader.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tokotoko;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const PracticeTextReading reading = readPracticeText(bytes);
    if (reading.isRefused()) {
        if (!reading.lines.isEmpty() || reading.message.isEmpty())
            std::abort();
        return 0;
    }
    if (reading.lines.isEmpty() || reading.lineCount < reading.lines.size())
        std::abort();
    for (const QString& line : reading.lines) {
        if (line.contains(QLatin1Char('\r')) || line.contains(QLatin1Char('\n')))
            std::abort();
    }
    PracticeText text;
    if (!text.storeLines(reading.lines))
        std::abort();
    if (text.lastLineIndex < 0 || text.lastLineIndex > PracticeText::maxLineIndex ||
        text.linesRead != text.lastLineIndex + 1)
        std::abort();
    return 0;
}

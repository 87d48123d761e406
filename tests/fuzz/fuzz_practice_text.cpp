// libFuzzer target: any bytes read as a practice text keep the reader's promises, and the
// store that takes in the reading describes exactly one file within its limits.

#include "FuzzCheck.h"

#include "text/PracticeText.h"
#include "text/PracticeTextReader.h"

#include <cstdint>

using namespace tokotoko;

namespace {

const QByteArray kBom("\xEF\xBB\xBF");
constexpr char kEndOfFileMark = 0x1A;
constexpr char16_t kReplacement = 0xFFFD;

// The bytes that carry text: without a UTF-8 byte-order mark and one end-of-file mark.
QByteArray textBytes(const QByteArray& bytes) {
    QByteArray content = bytes.startsWith(kBom) ? bytes.mid(kBom.size()) : bytes;
    if (content.endsWith(kEndOfFileMark))
        content.chop(1);
    return content;
}

bool isAscii(const QByteArray& bytes) {
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

// Lines taken whole: the text with every line end (CR LF, LF, CR) as LF and without the
// last one is exactly the lines joined by LF.
QString joinedAsLines(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}

qsizetype replacementCount(const QStringList& lines) {
    qsizetype count = 0;
    for (const QString& line : lines)
        count += line.count(QChar(kReplacement));
    return count;
}

void checkRefusal(const QByteArray& bytes, const PracticeTextReading& reading) {
    FUZZ_CHECK(reading.lines.isEmpty());
    FUZZ_CHECK(!reading.message.isEmpty());
    if (bytes.size() > maxPracticeTextBytes) {
        FUZZ_CHECK(reading.refusal == TextRefusal::TooLarge);
    } else if (bytes.contains('\0')) {
        FUZZ_CHECK(reading.refusal == TextRefusal::NulBytes);
    } else {
        // ICU is there, so code page 932 is always readable: only a file without text is
        // refused. Code page 932 gives a character for every byte; UTF-8 drops U+FEFF (the
        // decoder builds each character with QString::fromUcs4, which takes it for a byte-order
        // mark), so a file of byte-order marks alone has no text either.
        FUZZ_CHECK(reading.refusal == TextRefusal::Empty);
        FUZZ_CHECK(decodeUtf8(textBytes(bytes)).text.isEmpty());
    }
}

void checkLines(const QByteArray& bytes, const PracticeTextReading& reading) {
    FUZZ_CHECK(!bytes.contains('\0'));
    FUZZ_CHECK(bytes.size() <= maxPracticeTextBytes);
    FUZZ_CHECK(!reading.lines.isEmpty());
    FUZZ_CHECK(reading.lines.size() <= PracticeText::slotCount);
    FUZZ_CHECK(reading.lineCount >= reading.lines.size());
    FUZZ_CHECK(reading.isCut() == (reading.lineCount > PracticeText::slotCount));
    if (reading.isCut())
        FUZZ_CHECK(reading.lines.size() == PracticeText::slotCount);
    for (const QString& line : reading.lines) {
        FUZZ_CHECK(!line.contains(QLatin1Char('\r')));
        FUZZ_CHECK(!line.contains(QLatin1Char('\n')));
    }

    const bool hasBom = bytes.startsWith(kBom);
    if (hasBom)
        FUZZ_CHECK(reading.encoding == TextEncoding::Utf8);
    // Without a mark, UTF-8 is chosen only for text that is valid UTF-8 throughout.
    if (reading.encoding == TextEncoding::Utf8 && !hasBom)
        FUZZ_CHECK(reading.invalidSequences == 0);

    // Every bad sequence is shown as one U+FFFD; code page 932 has no U+FFFD of its own.
    FUZZ_CHECK(reading.invalidSequences >= 0);
    FUZZ_CHECK((reading.invalidSequences > 0) == (reading.firstInvalidLine > 0));
    FUZZ_CHECK(reading.firstInvalidLine <= reading.lineCount);
    if (!reading.isCut()) {
        const qsizetype replacements = replacementCount(reading.lines);
        if (reading.encoding == TextEncoding::Cp932)
            FUZZ_CHECK(replacements == reading.invalidSequences);
        else
            FUZZ_CHECK(replacements >= reading.invalidSequences);
    }
    // The learner is told about a cut and about unreadable characters, and only then.
    FUZZ_CHECK(reading.message.isEmpty() == (!reading.isCut() && reading.invalidSequences == 0));

    // Nothing is lost, added or trimmed: the decoded text comes back as the lines.
    if (!reading.isCut()) {
        const QByteArray content = textBytes(bytes);
        const DecodedText decoded =
            reading.encoding == TextEncoding::Utf8 ? decodeUtf8(content) : decodeCp932(content);
        const QString joined = reading.lines.join(QLatin1Char('\n'));
        FUZZ_CHECK(joined == joinedAsLines(decoded.text));
        // ASCII is itself in both encodings.
        if (isAscii(content))
            FUZZ_CHECK(joined == joinedAsLines(QString::fromLatin1(content)));
    }
}

PracticeText storeOf(const QString& name, int lineCount) {
    PracticeText text;
    QStringList lines;
    for (int i = 0; i < lineCount; ++i)
        lines << name + QString::number(i);
    text.storeLines(lines);
    text.textFileName = name;
    text.linePosition = 0;
    return text;
}

// The store describes one file: `lines` when it took the reading, its earlier file otherwise.
void checkStore(const PracticeText& store, const PracticeText& before,
                const PracticeTextReading& reading) {
    FUZZ_CHECK(store.hasText());
    FUZZ_CHECK(store.lastLineIndex >= 0);
    FUZZ_CHECK(store.lastLineIndex <= PracticeText::maxLineIndex);
    FUZZ_CHECK(store.linesRead == store.lastLineIndex + 1);
    if (reading.isRefused()) {
        FUZZ_CHECK(store.textFileName == before.textFileName);
        FUZZ_CHECK(store.linesRead == before.linesRead);
        FUZZ_CHECK(store.linePosition == before.linePosition);
        FUZZ_CHECK(store.lineSlots == before.lineSlots);
        return;
    }
    FUZZ_CHECK(store.linesRead == reading.lines.size());
    FUZZ_CHECK(store.linePosition == 1);
    for (qsizetype i = 0; i < reading.lines.size(); ++i)
        FUZZ_CHECK(store.lineSlots[static_cast<std::size_t>(i)] == reading.lines[i]);
    FUZZ_CHECK(store.lastLine() == reading.lines.last());
}

// What the open command does with a reading: a refused file leaves the store as it was.
void takeIn(PracticeText& store, const PracticeTextReading& reading) {
    if (reading.isRefused())
        return;
    FUZZ_CHECK(store.storeLines(reading.lines));
    store.textFileName = QStringLiteral("fuzzed.txt");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const PracticeTextReading reading = readPracticeText(bytes);
    if (reading.isRefused())
        checkRefusal(bytes, reading);
    else
        checkLines(bytes, reading);

    // Into a store holding a shorter and one holding the longest possible earlier file.
    static const PracticeText shortBefore = storeOf(QStringLiteral("short.txt"), 3);
    static const PracticeText longBefore = storeOf(QStringLiteral("long.txt"), 101);
    for (const PracticeText* before : {&shortBefore, &longBefore}) {
        PracticeText store = *before;
        takeIn(store, reading);
        checkStore(store, *before, reading);
    }
    return 0;
}

#pragma once

// Reading a practice text file
// ----------------------------
// readPracticeText() turns the bytes of a file into practice lines. It touches no widget and no
// file, so a fuzzer can call it on any bytes; readPracticeTextFile() adds the file system.
//
// Decoding: a file that starts with a UTF-8 byte-order mark, or that is entirely valid UTF-8
// and has non-ASCII characters, is UTF-8; anything else is code page 932 as Windows reads it
// (Shift_JIS with the NEC and IBM extensions; 0x5C is the backslash, 0x7E the tilde). Each
// invalid byte sequence becomes one U+FFFD in either encoding, including a lead byte cut off
// by the end of the file.
//
// Lines: CR LF, a lone LF and a lone CR each end a line; a last line without an ending is a
// line; blank lines are lines; nothing is trimmed. An empty file has no line.
//
// What a learner can practise on, and what is refused (the store then stays as it was):
//   - no line at all (an empty file): refused;
//   - more than 1 MiB: refused before anything is read;
//   - NUL bytes (a binary file, or UTF-16 text): refused;
//   - a missing, vanished, unreadable or not ordinary file: refused;
//   - more than 101 lines: cut to its first 101 lines, with a message;
//   - invalid byte sequences: read, each shown as U+FFFD, with a message naming the line.
// A single 0x1A byte at the very end (the end-of-file mark of old editors) is not text.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace tokotoko {

// Larger files are no practice texts; they are refused before being read.
inline constexpr qint64 maxPracticeTextBytes = 1024 * 1024;

enum class TextEncoding { Cp932, Utf8 };

// Why a file cannot be practised on.
enum class TextRefusal {
    None,           // the file can be practised on
    Empty,          // no line at all
    TooLarge,       // above maxPracticeTextBytes
    NulBytes,       // NUL bytes: a binary file or UTF-16 text
    NoCp932Decoder, // this Qt has no code page 932 decoder (built without ICU)
    Missing,        // no such file (also: removed after it was chosen)
    NotAFile,       // a folder, a device or a pipe
    Unreadable,     // the file exists but cannot be read
};

struct PracticeTextReading {
    TextRefusal refusal = TextRefusal::None;
    TextEncoding encoding = TextEncoding::Cp932;
    // The lines to practise on: 1 to 101 of them, or none when refused.
    QStringList lines;
    // The number of lines in the file; above 101 only the first 101 are in `lines`.
    qsizetype lineCount = 0;
    // Invalid byte sequences, each read as U+FFFD, and the line (from 1) of the first.
    int invalidSequences = 0;
    qsizetype firstInvalidLine = 0;
    // What the learner should be told, in Japanese and then in English; empty when the file
    // was read as it is.
    QString message;

    bool isRefused() const { return refusal != TextRefusal::None; }
    bool isCut() const { return !isRefused() && lineCount > lines.size(); }
};

PracticeTextReading readPracticeText(const QByteArray& bytes);

// Reads the file at `path`: checks that it is an ordinary file within the size bound before
// reading it, then reads it as readPracticeText() does.
PracticeTextReading readPracticeTextFile(const QString& path);

// The building blocks, for tests.
struct DecodedText {
    QString text;
    int invalidSequences = 0;
    qsizetype firstInvalidAt = -1; // index in `text` of the first U+FFFD put for a bad sequence
};
DecodedText decodeCp932(QByteArrayView bytes);
DecodedText decodeUtf8(QByteArrayView bytes);
// Whether this Qt decodes code page 932 (through ICU).
bool cp932DecoderAvailable();

struct SplitText {
    QStringList lines;   // the first `keep` lines
    qsizetype count = 0; // all lines
};
SplitText splitPracticeLines(QStringView text, qsizetype keep);

} // namespace tokotoko

#include "PracticeTextReader.h"

#include "PracticeText.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace tokotoko {

namespace {

constexpr char16_t replacementCharacter = 0xFFFD;
constexpr char endOfFileMark = 0x1A;

// Qt names the code page after its IANA name; the decoder behind it is ICU's.
constexpr const char* cp932Name = "windows-31j";

bool isCp932Lead(uchar b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
bool isCp932Trail(uchar b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}
bool isHalfWidthKatakana(uchar b) {
    return b >= 0xA1 && b <= 0xDF;
}

bool hasNonAscii(QByteArrayView bytes) {
    for (char c : bytes) {
        if (static_cast<uchar>(c) >= 0x80)
            return true;
    }
    return false;
}

// Collects decoded text and notes each substitute put for a bad sequence.
class DecodedBuilder {
public:
    explicit DecodedBuilder(qsizetype sizeHint) { m_result.text.reserve(sizeHint); }
    void append(QChar c) { m_result.text.append(c); }
    void append(QStringView text) { m_result.text.append(text); }
    void appendBad() {
        if (m_result.firstInvalidAt < 0)
            m_result.firstInvalidAt = m_result.text.size();
        ++m_result.invalidSequences;
        m_result.text.append(QChar(replacementCharacter));
    }
    DecodedText take() { return std::move(m_result); }

private:
    DecodedText m_result;
};

// ICU maps the bytes 0x1A, 0x1C and 0x7F to other control characters (IBM's habit), while
// Windows reads every byte below 0x80 as itself. So ASCII is decoded here, and ICU is given
// only whole characters above it: half-width katakana and complete double-byte pairs.
class Cp932Decoder {
public:
    explicit Cp932Decoder(QByteArrayView bytes)
        : m_bytes(bytes)
        , m_out(bytes.size())
        , m_icu(cp932Name, QStringDecoder::Flag::Stateless) {}

    DecodedText run() {
        qsizetype i = 0;
        const qsizetype n = m_bytes.size();
        while (i < n) {
            const uchar b = static_cast<uchar>(m_bytes[i]);
            if (b < 0x80) {
                flushRun(i);
                m_out.append(QChar(b));
                i += 1;
            } else if (isHalfWidthKatakana(b)) {
                startRun(i);
                i += 1;
            } else if (isCp932Lead(b) && i + 1 < n &&
                       isCp932Trail(static_cast<uchar>(m_bytes[i + 1]))) {
                startRun(i);
                i += 2;
            } else {
                // 0x80, 0xA0, 0xFD to 0xFF, or a lead byte without its trail byte; the
                // following byte is read on its own.
                flushRun(i);
                m_out.appendBad();
                i += 1;
            }
        }
        flushRun(n);
        return m_out.take();
    }

private:
    void startRun(qsizetype at) {
        if (m_runStart < 0)
            m_runStart = at;
    }

    // Decodes the pending run of whole characters; ICU answers U+FFFD for a pair that has no
    // character, which is a bad sequence too.
    void flushRun(qsizetype end) {
        if (m_runStart < 0)
            return;
        const QString decoded = m_icu.decode(m_bytes.sliced(m_runStart, end - m_runStart));
        m_runStart = -1;
        for (QChar c : decoded) {
            if (c.unicode() == replacementCharacter)
                m_out.appendBad();
            else
                m_out.append(c);
        }
    }

    QByteArrayView m_bytes;
    DecodedBuilder m_out;
    QStringDecoder m_icu;
    qsizetype m_runStart = -1;
};

// The line (from 1) that holds the character at `index`, splitting as splitPracticeLines does.
qsizetype lineNumberAt(QStringView text, qsizetype index) {
    qsizetype line = 1;
    for (qsizetype i = 0; i < index && i < text.size(); ++i) {
        if (text[i] == u'\n' ||
            (text[i] == u'\r' && !(i + 1 < text.size() && text[i + 1] == u'\n')))
            ++line;
    }
    return line;
}

QString refusalMessage(TextRefusal refusal) {
    switch (refusal) {
    case TextRefusal::None:
        return {};
    case TextRefusal::Empty:
        return QStringLiteral(
            "このファイルには行がひとつもありません。練習する文を書いてから開いてください。\n"
            "This file has no lines. Write the text to practise first.");
    case TextRefusal::TooLarge:
        return QStringLiteral(
            "このファイルは大きすぎます（1 MB まで）。練習用のテキスト ファイルを選んでください。\n"
            "This file is too large for a practice text (1 MB at most).");
    case TextRefusal::NulBytes:
        return QStringLiteral(
            "このファイルはテキスト ファイルではないようです（NUL 文字があります）。"
            "UTF-16 で保存したファイルなら、UTF-8 か Shift_JIS で保存し直してください。\n"
            "This does not look like a text file (it contains NUL bytes). If it was saved as "
            "UTF-16, save it again as UTF-8 or Shift_JIS.");
    case TextRefusal::NoCp932Decoder:
        return QStringLiteral("このコンピューターでは Shift_JIS のファイルを読めません。"
                              "UTF-8 で保存し直してください。\n"
                              "Shift_JIS files cannot be read on this computer. Save the file "
                              "as UTF-8.");
    case TextRefusal::Missing:
        return QStringLiteral("ファイルが見つかりません。\nThe file was not found.");
    case TextRefusal::NotAFile:
        return QStringLiteral("これはテキスト ファイルではありません。\nThis is not a text file.");
    case TextRefusal::Unreadable:
        return QStringLiteral("ファイルを読めません。読み取りの許可を確かめてください。\n"
                              "The file cannot be read. Check that you may read it.");
    }
    return {};
}

QString cutMessage(qsizetype lineCount) {
    return QStringLiteral("このファイルは %1 行あります。練習には最初の %2 行を使います。\n"
                          "This file has %1 lines; the first %2 are used for practice.")
        .arg(lineCount)
        .arg(PracticeText::slotCount);
}

QString invalidMessage(qsizetype firstLine) {
    return QStringLiteral("%1 行目などに読めない文字があり、� で示します。"
                          "ファイルを UTF-8 か Shift_JIS で保存し直してください。\n"
                          "Some characters could not be read (the first in line %1); they are "
                          "shown as �. Save the file as UTF-8 or Shift_JIS.")
        .arg(firstLine);
}

PracticeTextReading refused(TextRefusal refusal) {
    PracticeTextReading reading;
    reading.refusal = refusal;
    reading.message = refusalMessage(refusal);
    return reading;
}

} // namespace

bool cp932DecoderAvailable() {
    return QStringDecoder(cp932Name).isValid();
}

DecodedText decodeCp932(QByteArrayView bytes) {
    return Cp932Decoder(bytes).run();
}

DecodedText decodeUtf8(QByteArrayView bytes) {
    // Each maximal part of an ill-formed sequence becomes one U+FFFD, as Unicode recommends:
    // a truncated character is one bad sequence, not one per byte.
    DecodedBuilder out(bytes.size());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const uchar b = static_cast<uchar>(bytes[i]);
        if (b < 0x80) {
            out.append(QChar(b));
            ++i;
            continue;
        }
        int trailing = 0;
        char32_t code = 0;
        uchar low = 0x80;
        uchar high = 0xBF;
        if (b >= 0xC2 && b <= 0xDF) {
            trailing = 1;
            code = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            trailing = 2;
            code = b & 0x0F;
            low = b == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
            high = b == 0xED ? 0x9F : 0xBF; // no surrogates
        } else if (b >= 0xF0 && b <= 0xF4) {
            trailing = 3;
            code = b & 0x07;
            low = b == 0xF0 ? 0x90 : 0x80;  // no overlong forms
            high = b == 0xF4 ? 0x8F : 0xBF; // nothing above U+10FFFF
        } else {
            out.appendBad();
            ++i;
            continue;
        }
        qsizetype j = i + 1;
        int taken = 0;
        while (taken < trailing && j < n) {
            const uchar t = static_cast<uchar>(bytes[j]);
            if (t < low || t > high)
                break;
            code = (code << 6) | (t & 0x3F);
            low = 0x80;
            high = 0xBF;
            ++j;
            ++taken;
        }
        if (taken == trailing) {
            const char32_t one[] = {code};
            out.append(QStringView(QString::fromUcs4(one, 1)));
        } else {
            out.appendBad();
        }
        i = j;
    }
    return out.take();
}

SplitText splitPracticeLines(QStringView text, qsizetype keep) {
    SplitText split;
    auto addLine = [&](qsizetype from, qsizetype to) {
        if (split.count < keep)
            split.lines.append(text.sliced(from, to - from).toString());
        ++split.count;
    };
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        addLine(start, i);
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        addLine(start, text.size());
    return split;
}

PracticeTextReading readPracticeText(const QByteArray& bytes) {
    if (bytes.size() > maxPracticeTextBytes)
        return refused(TextRefusal::TooLarge);
    if (bytes.contains('\0'))
        return refused(TextRefusal::NulBytes);

    QByteArrayView content(bytes);
    const bool hasBom = content.startsWith("\xEF\xBB\xBF");
    if (hasBom)
        content = content.sliced(3);
    if (content.endsWith(endOfFileMark))
        content.chop(1);

    PracticeTextReading reading;
    DecodedText decoded;
    DecodedText asUtf8 = decodeUtf8(content);
    if (hasBom || (asUtf8.invalidSequences == 0 && hasNonAscii(content))) {
        reading.encoding = TextEncoding::Utf8;
        decoded = std::move(asUtf8);
    } else {
        if (hasNonAscii(content) && !cp932DecoderAvailable())
            return refused(TextRefusal::NoCp932Decoder);
        reading.encoding = TextEncoding::Cp932;
        decoded = decodeCp932(content);
    }

    SplitText split = splitPracticeLines(decoded.text, PracticeText::slotCount);
    if (split.count == 0)
        return refused(TextRefusal::Empty);
    reading.lines = std::move(split.lines);
    reading.lineCount = split.count;
    reading.invalidSequences = decoded.invalidSequences;

    QStringList notes;
    if (reading.isCut())
        notes << cutMessage(reading.lineCount);
    if (decoded.invalidSequences > 0) {
        reading.firstInvalidLine = lineNumberAt(decoded.text, decoded.firstInvalidAt);
        notes << invalidMessage(reading.firstInvalidLine);
    }
    reading.message = notes.join(QStringLiteral("\n\n"));
    return reading;
}

PracticeTextReading readPracticeTextFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return refused(TextRefusal::Missing);
    // Only ordinary files: reading a pipe or a device could block the program for ever.
    if (!info.isFile())
        return refused(TextRefusal::NotAFile);
    if (info.size() > maxPracticeTextBytes)
        return refused(TextRefusal::TooLarge);

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refused(file.exists() ? TextRefusal::Unreadable : TextRefusal::Missing);
    // The file may have grown since it was measured: never read more than the bound allows.
    const QByteArray bytes = file.read(maxPracticeTextBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return refused(TextRefusal::Unreadable);
    return readPracticeText(bytes);
}

} // namespace tokotoko

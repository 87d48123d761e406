// Build-time tool: turns KANJIDIC2 (kanjidic2.xml, gzip-compressed as Debian ships it) into the
// table of readings the Japanese windows look kanji up in. One line per kanji that has a
// Japanese reading, sorted by code point (as UTF-8 bytes sort), after a few comment lines:
//
//   <kanji> TAB <on-readings, katakana, space-separated> TAB <kun-readings, hiragana>
//
// Kun-readings lose KANJIDIC2's marks: "-" (a prefix or suffix use) and "." (where the
// okurigana begins), so 食 gives "たべる", not "た.べる"; a reading left twice is kept once.
//
//   make-kanji-readings kanjidic2.xml.gz kanji-readings.txt

#include <QByteArray>
#include <QFile>
#include <QSaveFile>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>

#include <zlib.h>

#include <cstdio>
#include <map>

namespace {

QByteArray gunzip(const QByteArray& compressed) {
    z_stream stream{};
    // 16 + MAX_WBITS: a gzip header, not a bare zlib stream.
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK)
        return {};
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
    stream.avail_in = static_cast<uInt>(compressed.size());
    QByteArray out;
    char chunk[1 << 16];
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef*>(chunk);
        stream.avail_out = sizeof chunk;
        status = inflate(&stream, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END)
            break;
        out.append(chunk, static_cast<qsizetype>(sizeof chunk - stream.avail_out));
    }
    inflateEnd(&stream);
    return status == Z_STREAM_END ? out : QByteArray();
}

struct Readings {
    QStringList on;
    QStringList kun;
};

void addOnce(QStringList& list, const QString& reading) {
    if (!reading.isEmpty() && !list.contains(reading))
        list << reading;
}

QString plainKun(QString reading) {
    return reading.remove(QLatin1Char('-')).remove(QLatin1Char('.'));
}

// Each <character>: its <literal> and its <reading r_type="ja_on"|"ja_kun">.
std::map<char32_t, Readings> readKanjidic(const QByteArray& xml) {
    std::map<char32_t, Readings> table;
    QXmlStreamReader reader(xml);
    QString literal;
    Readings readings;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == QLatin1String("character")) {
            literal.clear();
            readings = {};
        } else if (reader.isStartElement() && reader.name() == QLatin1String("literal")) {
            literal = reader.readElementText();
        } else if (reader.isStartElement() && reader.name() == QLatin1String("reading")) {
            const auto type = reader.attributes().value(QLatin1String("r_type"));
            const QString text = reader.readElementText();
            if (type == QLatin1String("ja_on"))
                addOnce(readings.on, text);
            else if (type == QLatin1String("ja_kun"))
                addOnce(readings.kun, plainKun(text));
        } else if (reader.isEndElement() && reader.name() == QLatin1String("character")) {
            const auto codePoints = literal.toUcs4();
            if (codePoints.size() == 1 && !(readings.on.isEmpty() && readings.kun.isEmpty()))
                table[codePoints.first()] = readings;
        }
    }
    if (reader.hasError()) {
        std::fprintf(stderr, "kanjidic2: %s at line %lld\n", qPrintable(reader.errorString()),
                     static_cast<long long>(reader.lineNumber()));
        return {};
    }
    return table;
}

const char kHeader[] =
    "# Japanese readings of kanji: on-readings (katakana), kun-readings (hiragana).\n"
    "# Made at build time from KANJIDIC2, the property of the Electronic Dictionary Research and\n"
    "# Development Group (https://www.edrdg.org/), used in conformance with the Group's\n"
    "# licence: Creative Commons Attribution-ShareAlike 3.0\n"
    "# (https://creativecommons.org/licenses/by-sa/3.0/). This table is shared alike.\n";

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s kanjidic2.xml.gz kanji-readings.txt\n", argv[0]);
        return 2;
    }
    QFile in(QString::fromLocal8Bit(argv[1]));
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const QByteArray compressed = in.readAll();
    const QByteArray xml = compressed.startsWith("\x1f\x8b") ? gunzip(compressed) : compressed;
    const auto table = readKanjidic(xml);
    if (table.empty()) {
        std::fprintf(stderr, "no kanji readings in %s\n", argv[1]);
        return 1;
    }
    QSaveFile out(QString::fromLocal8Bit(argv[2]));
    if (!out.open(QIODevice::WriteOnly))
        return 1;
    out.write(kHeader);
    for (const auto& [kanji, readings] : table) {
        const QString line = QString::fromUcs4(&kanji, 1) + QLatin1Char('\t') +
                             readings.on.join(QLatin1Char(' ')) + QLatin1Char('\t') +
                             readings.kun.join(QLatin1Char(' ')) + QLatin1Char('\n');
        out.write(line.toUtf8());
    }
    return out.commit() ? 0 : 1;
}

#include "KanjiReadings.h"

#include <QByteArrayView>
#include <QDir>

namespace tokotoko {
namespace {

// The line around `at`: from the character after the previous line feed to the next one.
QByteArrayView lineAround(QByteArrayView table, qsizetype at) {
    qsizetype start = at;
    while (start > 0 && table[start - 1] != '\n')
        --start;
    qsizetype end = at;
    while (end < table.size() && table[end] != '\n')
        ++end;
    return table.sliced(start, end - start);
}

QStringList readingList(QByteArrayView field) {
    return QString::fromUtf8(field).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

} // namespace

const char* const KanjiReadings::kFileName = "kanji-readings.txt";

KanjiReadings::KanjiReadings(QStringList folders)
    : m_folders(std::move(folders)) {}

bool KanjiReadings::map() const {
    if (m_tried)
        return m_data != nullptr;
    m_tried = true;
    for (const QString& folder : m_folders) {
        m_file.setFileName(QDir(folder).filePath(QLatin1String(kFileName)));
        if (!m_file.open(QIODevice::ReadOnly))
            continue;
        m_size = m_file.size();
        m_data = reinterpret_cast<const char*>(m_file.map(0, m_size));
        if (m_data)
            return true;
        m_file.close();
    }
    return false;
}

// The lines are sorted by their kanji's UTF-8 bytes, which sort as the code points do; the
// comment lines at the top start with '#', below every kanji.
KanjiReadings::Readings KanjiReadings::of(char32_t kanji) const {
    if (!map())
        return {};
    const QByteArray key = QString::fromUcs4(&kanji, 1).toUtf8() + '\t';
    const QByteArrayView table(m_data, m_size);
    qsizetype low = 0;
    qsizetype high = table.size();
    while (low < high) {
        const QByteArrayView line = lineAround(table, low + (high - low) / 2);
        const qsizetype lineStart = line.data() - table.data();
        // A line shorter than the key, or a comment, sorts before it.
        const int order = line.first(std::min(line.size(), key.size())).compare(key);
        if (order == 0) {
            const QByteArrayView rest = line.sliced(key.size());
            const qsizetype tab = rest.indexOf('\t');
            if (tab < 0)
                return {};
            return {readingList(rest.first(tab)), readingList(rest.sliced(tab + 1))};
        }
        if (order < 0)
            low = lineStart + line.size() + 1;
        else
            high = lineStart;
    }
    return {};
}

} // namespace tokotoko

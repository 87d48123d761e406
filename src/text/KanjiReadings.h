#pragma once

#include <QFile>
#include <QString>
#include <QStringList>

namespace tokotoko {

// The Japanese readings of kanji, from the table the build makes out of KANJIDIC2
// (kanji-readings.txt, beside the program or in its installed data folder). The table is
// mapped, not read, on the first look-up and searched in place: opening a window costs
// nothing, and a look-up costs a dozen comparisons.
class KanjiReadings {
public:
    struct Readings {
        QStringList on;  // katakana, the most common first
        QStringList kun; // hiragana, okurigana included
    };

    // Looks for the table in these folders, in order.
    explicit KanjiReadings(QStringList folders);
    KanjiReadings(const KanjiReadings&) = delete;
    KanjiReadings& operator=(const KanjiReadings&) = delete;

    // Nothing for a character the table does not know (kana, punctuation, a rare kanji) or
    // when no table was found.
    Readings of(char32_t kanji) const;

    static const char* const kFileName;

private:
    bool map() const;

    QStringList m_folders;
    mutable QFile m_file;
    mutable const char* m_data = nullptr;
    mutable qsizetype m_size = 0;
    mutable bool m_tried = false;
};

} // namespace tokotoko

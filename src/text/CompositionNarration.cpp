#include "CompositionNarration.h"

#include <QStringList>

namespace tokotoko {
namespace {

// A few readings of each kind are enough to tell a kanji from its homophones; the rare ones
// would only make the learner wait.
constexpr qsizetype kReadingsOfEachKind = 2;
const QString kPause = QStringLiteral("、");

bool isKanji(char32_t c) {
    return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x20000 && c <= 0x3134F) || c == 0x3005;
}

} // namespace

const QString CompositionNarration::kCancelled = QStringLiteral("取り消し");

CompositionNarration::CompositionNarration(const KanjiReadings& readings)
    : m_readings(readings) {}

void CompositionNarration::inputMethodEvent(const QString& committed,
                                            const Composition& composition) {
    m_committed += committed;
    m_shown = composition;
    m_eventsInBurst = true;
}

QString CompositionNarration::takeAnnouncement() {
    if (!m_eventsInBurst)
        return {};
    QStringList parts;
    if (!m_committed.isEmpty())
        parts << m_committed;
    if (m_shown.text.isEmpty()) {
        if (!m_said.text.isEmpty() && m_committed.isEmpty())
            parts << kCancelled;
    } else if (m_shown != m_said || !m_committed.isEmpty()) {
        parts << (m_shown.focusLength > 0 ? candidateWithReadings(m_shown.text.mid(
                                                m_shown.focusStart, m_shown.focusLength))
                                          : m_shown.text);
    }
    m_said = m_shown;
    m_committed.clear();
    m_eventsInBurst = false;
    return parts.join(kPause);
}

QString CompositionNarration::candidateWithReadings(const QString& candidate) const {
    QStringList parts{candidate};
    QList<char32_t> seen;
    for (const char32_t c : candidate.toUcs4()) {
        if (!isKanji(c) || seen.contains(c))
            continue;
        seen << c;
        const KanjiReadings::Readings readings = m_readings.of(c);
        parts += readings.on.first(std::min(kReadingsOfEachKind, readings.on.size()));
        parts += readings.kun.first(std::min(kReadingsOfEachKind, readings.kun.size()));
    }
    return parts.join(kPause);
}

} // namespace tokotoko

#include "CompositionAnnouncer.h"

#include "drawing/InputBox.h"
#include "platform/Announcer.h"

#include <QInputMethodEvent>
#include <QTextCharFormat>

namespace tokotoko {

CompositionAnnouncer::CompositionAnnouncer(InputBox& box, Announcer& announcer,
                                           const KanjiReadings& readings)
    : QObject(&box)
    , m_box(box)
    , m_announcer(announcer)
    , m_narration(readings) {
    m_burst.setSingleShot(true);
    m_burst.setInterval(kBurstQuietMs);
    connect(&m_burst, &QTimer::timeout, this, &CompositionAnnouncer::announce);
    connect(&box, &InputBox::inputMethodEventTaken, this,
            &CompositionAnnouncer::inputMethodEventTaken);
}

Composition CompositionAnnouncer::compositionOf(const QInputMethodEvent& event) {
    Composition composition{event.preeditString()};
    for (const auto& attribute : event.attributes()) {
        if (attribute.type != QInputMethodEvent::TextFormat || attribute.length <= 0)
            continue;
        const QTextCharFormat format = attribute.value.value<QTextFormat>().toCharFormat();
        if (!format.hasProperty(QTextFormat::BackgroundBrush))
            continue;
        composition.focusStart = std::clamp(attribute.start, 0, int(composition.text.size()));
        composition.focusLength =
            std::clamp(attribute.length, 0, int(composition.text.size()) - composition.focusStart);
        break;
    }
    return composition;
}

void CompositionAnnouncer::inputMethodEventTaken(const QInputMethodEvent& event) {
    m_narration.inputMethodEvent(event.commitString(), compositionOf(event));
    m_burst.start();
}

void CompositionAnnouncer::announce() {
    const QString text = m_narration.takeAnnouncement();
    if (!text.isEmpty())
        m_announcer.announce(&m_box, text);
}

} // namespace tokotoko

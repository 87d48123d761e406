#pragma once

#include "CompositionNarration.h"

#include <QObject>
#include <QTimer>

class QInputMethodEvent;
class QKeyEvent;

namespace tokotoko {

class Announcer;
class InputBox;

// Tells the screen reader what a Japanese input box composes (see CompositionNarration),
// once per burst of input-method events: an input method may send a commit and the next
// composition as separate events of one key. Lives as long as its box.
class CompositionAnnouncer final : public QObject {
public:
    CompositionAnnouncer(InputBox& box, Announcer& announcer, const KanjiReadings& readings);

    // A burst is over when no event has come for this long.
    static constexpr int kBurstQuietMs = 20;

    // The composition an input-method event leaves on show, with the clause being converted:
    // the one the input method highlights (gives a background).
    static Composition compositionOf(const QInputMethodEvent& event);

private:
    void inputMethodEventTaken(const QInputMethodEvent& event);
    void announce();

    InputBox& m_box;
    Announcer& m_announcer;
    CompositionNarration m_narration;
    QTimer m_burst;
};

} // namespace tokotoko

#pragma once

// What a blind learner is told of Japanese input
// ----------------------------------------------
// While the input method composes, the input box holds nothing a screen reader can read: the
// composition, the candidate window and the commit reach the box alone (Orca hears not even
// the keys the input method takes). So the box itself says what it shows, once per burst of
// input-method events, after it:
//   - composing: the text composed so far (か, かみ; after a rub-out, what is left);
//   - converting: the candidate in the clause being converted, then the readings of each kanji
//     in it, on-readings (katakana) before kun-readings (hiragana), which tell homophones
//     apart: 髪 "髪、ハツ、かみ" against 神 "神、シン、ジン、かみ、かん";
//   - a commit: the text committed, once;
//   - a composition that ends without a commit: that it was cancelled.
// The same state twice is said once. Keys the input method hands back to the box unused (its
// direct mode, and every key of a box without composition) arrive as key presses, which the
// screen reader echoes itself: they are not said again here. A commit without composition
// (an input method that commits each key) is said, as its key never reached the echo.

#include "KanjiReadings.h"

#include <QString>

namespace tokotoko {

struct Composition {
    QString text;        // the whole composition shown, empty when there is none
    int focusStart = 0;  // the clause being converted, which the input method highlights;
    int focusLength = 0; // a length of 0 while the learner is still composing
    friend bool operator==(const Composition&, const Composition&) = default;
};

class CompositionNarration {
public:
    explicit CompositionNarration(const KanjiReadings& readings);

    // One input-method event as the box took it: the text committed (if any) and the
    // composition it leaves on show.
    void inputMethodEvent(const QString& committed, const Composition& composition);
    // What to say for the events since the last call; empty when there is nothing new.
    QString takeAnnouncement();

    // The candidate and its kanji's readings, as said while converting.
    QString candidateWithReadings(const QString& candidate) const;

    static const QString kCancelled;

private:
    const KanjiReadings& m_readings;
    QString m_committed; // in this burst
    Composition m_shown; // after the latest event
    Composition m_said;  // when the last announcement was made
    bool m_eventsInBurst = false;
};

} // namespace tokotoko

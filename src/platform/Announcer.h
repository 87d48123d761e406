#pragma once

#include <QString>

class QWidget;

namespace tokotoko {

// Has the learner's screen reader speak a text at once, as a notification of a window; for
// what a window shows that no focus change would read out. Nothing happens (and nothing is
// built) when no screen reader runs. Announcements less than about 50 ms apart may reach the
// screen reader as the last one only, and each key press silences what it has not spoken
// yet: announce once per key.
class Announcer {
public:
    virtual ~Announcer() = default;
    // `window` is the window of the program that announces (one of its widgets will do).
    virtual void announce(QWidget* window, const QString& text) = 0;
};

} // namespace tokotoko

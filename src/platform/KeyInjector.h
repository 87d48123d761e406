#pragma once

#include <Qt>

class QWidget;

namespace tokotoko {

// Synthesized keyboard input. A posted key event is not handled inside the caller: it waits
// in the program's own event queue and arrives later as an ordinary key event at the widget
// that has the keyboard focus in `window` (or the window itself).
class KeyInjector {
public:
    enum class Direction { Down, Up };
    virtual ~KeyInjector() = default;
    virtual void post(QWidget* window, int virtualKey, Direction direction,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier) = 0;
};

} // namespace tokotoko

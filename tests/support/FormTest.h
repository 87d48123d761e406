#pragma once

// Helpers for driving real windows with real key events in headless tests.

#include <QKeyEvent>
#include <QString>

class QWidget;

namespace tokotoko {
class FormWindow;
}

namespace tokotoko::test {

// Shows the window (loading it when needed) and waits until it is the active window, so
// that focus and key delivery work as in the program. False if it never became active.
bool showActive(FormWindow& form);

// The widget a key press from the keyboard goes to: the window's focus widget, or its inner
// area when no control has the focus.
QWidget* keyReceiver(FormWindow& form);

// The text a US/JIS keyboard gives for a key (letters by Shift, Enter "\r", Escape, Tab...).
QString keyText(Qt::Key key, Qt::KeyboardModifiers modifiers);

// A key press and release sent to keyReceiver(form), as the keyboard would send them.
void pressKey(FormWindow& form, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// The same with an explicit text (characters the key produces).
void pressKey(FormWindow& form, Qt::Key key, Qt::KeyboardModifiers modifiers, const QString& text);
// Sends a prepared key event (press or release) to keyReceiver(form).
void sendKeyEvent(FormWindow& form, QKeyEvent& event);

// Each character of `text` as a key press of its own.
void typeText(FormWindow& form, const QString& text);

// Text committed by an input method to the widget that has the focus.
void commitText(FormWindow& form, const QString& text);

// Runs the event loop until something ends it, as the program's main loop would run; a
// watchdog ends it with status 1 after `timeoutMs`. Returns the loop's exit status.
int execUntilExit(int timeoutMs = 5000);

// A key event as the X server delivers it: X keycode (evdev + 8) and X state mask.
QKeyEvent x11KeyEvent(QEvent::Type type, Qt::Key key, Qt::KeyboardModifiers modifiers,
                      quint32 keycode, quint32 state, const QString& text = {});

} // namespace tokotoko::test

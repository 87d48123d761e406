#pragma once

// Helpers for driving real windows with real key events in headless tests.

#include "common/FormWindow.h"

#include <QKeyEvent>
#include <QMenuBar>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class QWidget;

namespace tokotoko::test {

// A control of the loaded window, or an item of its menus, by its object name: never one of
// the controls an unloading discarded. nullptr (with a warning) when there is none.
template <typename Control> Control* control(const FormWindow& form, const QString& name) {
    Control* found = nullptr;
    if (form.client())
        found = form.client()->findChild<Control*>(name);
    if (!found && form.formMenuBar())
        found = form.formMenuBar()->findChild<Control*>(name);
    if (!found)
        qWarning("no control %s", qPrintable(name));
    return found;
}

// Resizes the window so that its inner area (below the menu bar) is exactly `inner` pixels,
// and lays it out. False if the window system would not give it that size.
bool setInnerSize(FormWindow& form, QSize inner);

// What the event loop does after a handler returns: the controls an unloading let go of are
// deleted.
void deleteDiscardedControls();

// Writes a file with exactly these bytes; stops the test program if it cannot.
void writeFile(const QString& path, const QByteArray& bytes);

// Lines as a practice text file holds them: each ended by CR LF, in UTF-8.
QByteArray crlfLines(const QStringList& lines);

// Practice text files in a folder of their own, removed with it.
class PracticeFiles {
public:
    // A new file with these bytes (or lines); its path. Fails the test run if it cannot.
    QString write(const QByteArray& bytes);
    QString write(const QStringList& lines) { return write(crlfLines(lines)); }
    QString folder() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    int m_count = 0;
};

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

#pragma once

// The desktop as a storm or a leak test drives it: input goes where the window system would
// send it (an open menu first, then the focus widget of the active window, or that window
// itself), key presses pass Qt's shortcut handling first, and the windows' own interval timers
// are held back so that ticks come only when the test sends them.

#include <QKeyEvent>
#include <QMap>
#include <QObject>
#include <QString>

#include <QStringList>
#include <functional>

class QWidget;

namespace tokotoko::storm {

// One key of a JIS keyboard as the X server reports it (the observed table in jis-keys.md).
struct JisKey {
    quint32 keycode;
    Qt::Key plainKey;
    const char16_t* plainText;
    Qt::Key shiftedKey;
    const char16_t* shiftedText;
    bool keypad = false;
    Qt::Key numLockKey = Qt::Key_unknown; // keypad keys with Num Lock on
    const char16_t* numLockText = u"";
};

// Every physical key of a 106/109-key JIS keyboard.
const QList<JisKey>& jisKeys();
// The key of a keycode, or nullptr.
const JisKey* jisKey(quint32 keycode);

// X state mask bits.
inline constexpr quint32 kXShift = 0x1;
inline constexpr quint32 kXControl = 0x4;
inline constexpr quint32 kXAlt = 0x8;
inline constexpr quint32 kXNumLock = 0x10;

// What one physical key press delivers: Qt key, modifiers and text, and the X fields.
struct KeyPress {
    Qt::Key key = Qt::Key_unknown;
    Qt::KeyboardModifiers modifiers;
    QString text;
    quint32 keycode = 0; // 0: an event made by a program, without native fields
    quint32 xState = 0;
    bool autoRepeat = false;
};

// The press of a JIS key with the given X state (Shift, Ctrl, Alt, Num Lock bits), as Qt on
// X11 reports it: the shifted column under Shift, the keypad's digits under Num Lock, control
// characters for Ctrl with a letter, no text with Alt.
KeyPress jisKeyPress(const JisKey& key, quint32 xState);

// While it lives, no timer that waits for time to pass fires: neither the windows' interval
// timers (the test calls the tick handlers itself) nor Qt's own (cursor blinking, menus,
// delayed layout). What happens then depends on the events alone, never on how fast the machine
// is, so a seed replays the same run.
class TimerHold final : public QObject {
public:
    TimerHold();
    ~TimerHold() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Qt's warnings while it lives, counted instead of printed: the offscreen platform repeats
// a few of them thousands of times ("does not support raise()"), which would drown the test's
// output and reach Qt Test's limit of warnings.
class QtMessageTally {
public:
    QtMessageTally();
    ~QtMessageTally();
    QtMessageTally(const QtMessageTally&) = delete;
    QtMessageTally& operator=(const QtMessageTally&) = delete;
    // The most frequent messages with their counts.
    QStringList summary() const;

private:
    static void count(QtMsgType, const QMessageLogContext&, const QString& message);
    QMap<QString, int> m_messages;
    QtMessageHandler m_previous = nullptr;
};

// Where a key goes now: the open popup menu, or the focus widget of the active window, or the
// active window itself; nullptr when no window of the program is active.
QWidget* keyTarget();
// Where an input method's text goes now: the focus widget of the active window if it takes
// composed text, else nullptr.
QWidget* compositionTarget();

// A press (shortcuts first, as Qt does) and its release, sent to keyTarget().
void pressKey(const KeyPress& press);
// An input method's text: committed at once, or first shown as preedit and then committed.
void commitText(QWidget* target, const QString& text, bool preeditFirst);

// Shows a window as the program does (FormWindow::showForm) and makes it the active one, as a
// window manager would: the offscreen platform sometimes keeps a window it once minimized
// from becoming active again.
void showAndActivate(QWidget* window, const std::function<void()>& show);

// Runs what the event loop would run now (posted events, window activation, painting), but
// not the held-back timers; then deletes the controls that windows let go of.
void settle();
// Only the posted key events and queued calls: what a key handler posted for later.
void deliverPosted();

} // namespace tokotoko::storm

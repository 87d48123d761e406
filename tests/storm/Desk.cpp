#include "Desk.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QInputMethodEvent>
#include <QInputMethodQueryEvent>
#include <QTest>
#include <QTimerEvent>
#include <QWidget>

#include <algorithm>

namespace tokotoko::storm {

const QList<JisKey>& jisKeys() {
    using K = JisKey;
    static const QList<JisKey> keys{
        K{9, Qt::Key_Escape, u"\x1b", Qt::Key_Escape, u"\x1b"},
        K{10, Qt::Key_1, u"1", Qt::Key_Exclam, u"!"},
        K{11, Qt::Key_2, u"2", Qt::Key_QuoteDbl, u"\""},
        K{12, Qt::Key_3, u"3", Qt::Key_NumberSign, u"#"},
        K{13, Qt::Key_4, u"4", Qt::Key_Dollar, u"$"},
        K{14, Qt::Key_5, u"5", Qt::Key_Percent, u"%"},
        K{15, Qt::Key_6, u"6", Qt::Key_Ampersand, u"&"},
        K{16, Qt::Key_7, u"7", Qt::Key_Apostrophe, u"'"},
        K{17, Qt::Key_8, u"8", Qt::Key_ParenLeft, u"("},
        K{18, Qt::Key_9, u"9", Qt::Key_ParenRight, u")"},
        K{19, Qt::Key_0, u"0", Qt::Key_AsciiTilde, u"~"},
        K{20, Qt::Key_Minus, u"-", Qt::Key_Equal, u"="},
        K{21, Qt::Key_AsciiCircum, u"^", Qt::Key_AsciiTilde, u"~"},
        K{22, Qt::Key_Backspace, u"\b", Qt::Key_Backspace, u"\b"},
        K{23, Qt::Key_Tab, u"\t", Qt::Key_Backtab, u""},
        K{24, Qt::Key_Q, u"q", Qt::Key_Q, u"Q"},
        K{25, Qt::Key_W, u"w", Qt::Key_W, u"W"},
        K{26, Qt::Key_E, u"e", Qt::Key_E, u"E"},
        K{27, Qt::Key_R, u"r", Qt::Key_R, u"R"},
        K{28, Qt::Key_T, u"t", Qt::Key_T, u"T"},
        K{29, Qt::Key_Y, u"y", Qt::Key_Y, u"Y"},
        K{30, Qt::Key_U, u"u", Qt::Key_U, u"U"},
        K{31, Qt::Key_I, u"i", Qt::Key_I, u"I"},
        K{32, Qt::Key_O, u"o", Qt::Key_O, u"O"},
        K{33, Qt::Key_P, u"p", Qt::Key_P, u"P"},
        K{34, Qt::Key_At, u"@", Qt::Key_QuoteLeft, u"`"},
        K{35, Qt::Key_BracketLeft, u"[", Qt::Key_BraceLeft, u"{"},
        K{36, Qt::Key_Return, u"\r", Qt::Key_Return, u"\r"},
        K{37, Qt::Key_Control, u"", Qt::Key_Control, u""},
        K{38, Qt::Key_A, u"a", Qt::Key_A, u"A"},
        K{39, Qt::Key_S, u"s", Qt::Key_S, u"S"},
        K{40, Qt::Key_D, u"d", Qt::Key_D, u"D"},
        K{41, Qt::Key_F, u"f", Qt::Key_F, u"F"},
        K{42, Qt::Key_G, u"g", Qt::Key_G, u"G"},
        K{43, Qt::Key_H, u"h", Qt::Key_H, u"H"},
        K{44, Qt::Key_J, u"j", Qt::Key_J, u"J"},
        K{45, Qt::Key_K, u"k", Qt::Key_K, u"K"},
        K{46, Qt::Key_L, u"l", Qt::Key_L, u"L"},
        K{47, Qt::Key_Semicolon, u";", Qt::Key_Plus, u"+"},
        K{48, Qt::Key_Colon, u":", Qt::Key_Asterisk, u"*"},
        K{49, Qt::Key_Zenkaku_Hankaku, u"", Qt::Key_Zenkaku_Hankaku, u""},
        K{50, Qt::Key_Shift, u"", Qt::Key_Shift, u""},
        K{51, Qt::Key_BracketRight, u"]", Qt::Key_BraceRight, u"}"},
        K{52, Qt::Key_Z, u"z", Qt::Key_Z, u"Z"},
        K{53, Qt::Key_X, u"x", Qt::Key_X, u"X"},
        K{54, Qt::Key_C, u"c", Qt::Key_C, u"C"},
        K{55, Qt::Key_V, u"v", Qt::Key_V, u"V"},
        K{56, Qt::Key_B, u"b", Qt::Key_B, u"B"},
        K{57, Qt::Key_N, u"n", Qt::Key_N, u"N"},
        K{58, Qt::Key_M, u"m", Qt::Key_M, u"M"},
        K{59, Qt::Key_Comma, u",", Qt::Key_Less, u"<"},
        K{60, Qt::Key_Period, u".", Qt::Key_Greater, u">"},
        K{61, Qt::Key_Slash, u"/", Qt::Key_Question, u"?"},
        K{62, Qt::Key_Shift, u"", Qt::Key_Shift, u""},
        K{63, Qt::Key_Asterisk, u"*", Qt::Key_Asterisk, u"*", true, Qt::Key_Asterisk, u"*"},
        K{64, Qt::Key_Alt, u"", Qt::Key_Meta, u""},
        K{65, Qt::Key_Space, u" ", Qt::Key_Space, u" "},
        K{66, Qt::Key_Eisu_toggle, u"", Qt::Key_CapsLock, u""},
        K{67, Qt::Key_F1, u"", Qt::Key_F1, u""},
        K{68, Qt::Key_F2, u"", Qt::Key_F2, u""},
        K{69, Qt::Key_F3, u"", Qt::Key_F3, u""},
        K{70, Qt::Key_F4, u"", Qt::Key_F4, u""},
        K{71, Qt::Key_F5, u"", Qt::Key_F5, u""},
        K{72, Qt::Key_F6, u"", Qt::Key_F6, u""},
        K{73, Qt::Key_F7, u"", Qt::Key_F7, u""},
        K{74, Qt::Key_F8, u"", Qt::Key_F8, u""},
        K{75, Qt::Key_F9, u"", Qt::Key_F9, u""},
        K{76, Qt::Key_F10, u"", Qt::Key_F10, u""},
        K{77, Qt::Key_NumLock, u"", Qt::Key_NumLock, u""},
        K{78, Qt::Key_ScrollLock, u"", Qt::Key_ScrollLock, u""},
        K{79, Qt::Key_Home, u"", Qt::Key_Home, u"", true, Qt::Key_7, u"7"},
        K{80, Qt::Key_Up, u"", Qt::Key_Up, u"", true, Qt::Key_8, u"8"},
        K{81, Qt::Key_PageUp, u"", Qt::Key_PageUp, u"", true, Qt::Key_9, u"9"},
        K{82, Qt::Key_Minus, u"-", Qt::Key_Minus, u"-", true, Qt::Key_Minus, u"-"},
        K{83, Qt::Key_Left, u"", Qt::Key_Left, u"", true, Qt::Key_4, u"4"},
        K{84, Qt::Key_Clear, u"", Qt::Key_Clear, u"", true, Qt::Key_5, u"5"},
        K{85, Qt::Key_Right, u"", Qt::Key_Right, u"", true, Qt::Key_6, u"6"},
        K{86, Qt::Key_Plus, u"+", Qt::Key_Plus, u"+", true, Qt::Key_Plus, u"+"},
        K{87, Qt::Key_End, u"", Qt::Key_End, u"", true, Qt::Key_1, u"1"},
        K{88, Qt::Key_Down, u"", Qt::Key_Down, u"", true, Qt::Key_2, u"2"},
        K{89, Qt::Key_PageDown, u"", Qt::Key_PageDown, u"", true, Qt::Key_3, u"3"},
        K{90, Qt::Key_Insert, u"", Qt::Key_Insert, u"", true, Qt::Key_0, u"0"},
        K{91, Qt::Key_Delete, u"", Qt::Key_Delete, u"", true, Qt::Key_Period, u"."},
        K{95, Qt::Key_F11, u"", Qt::Key_F11, u""},
        K{96, Qt::Key_F12, u"", Qt::Key_F12, u""},
        K{97, Qt::Key_Backslash, u"\\", Qt::Key_Underscore, u"_"},
        K{100, Qt::Key_Henkan, u"", Qt::Key_Henkan, u""},
        K{101, Qt::Key_Hiragana_Katakana, u"", Qt::Key_Hiragana_Katakana, u""},
        K{102, Qt::Key_Muhenkan, u"", Qt::Key_Muhenkan, u""},
        K{104, Qt::Key_Enter, u"\r", Qt::Key_Enter, u"\r", true, Qt::Key_Enter, u"\r"},
        K{105, Qt::Key_Control, u"", Qt::Key_Control, u""},
        K{106, Qt::Key_Slash, u"/", Qt::Key_Slash, u"/", true, Qt::Key_Slash, u"/"},
        K{107, Qt::Key_Print, u"", Qt::Key_Print, u""},
        K{108, Qt::Key_Alt, u"", Qt::Key_Meta, u""},
        K{110, Qt::Key_Home, u"", Qt::Key_Home, u""},
        K{111, Qt::Key_Up, u"", Qt::Key_Up, u""},
        K{112, Qt::Key_PageUp, u"", Qt::Key_PageUp, u""},
        K{113, Qt::Key_Left, u"", Qt::Key_Left, u""},
        K{114, Qt::Key_Right, u"", Qt::Key_Right, u""},
        K{115, Qt::Key_End, u"", Qt::Key_End, u""},
        K{116, Qt::Key_Down, u"", Qt::Key_Down, u""},
        K{117, Qt::Key_PageDown, u"", Qt::Key_PageDown, u""},
        K{118, Qt::Key_Insert, u"", Qt::Key_Insert, u""},
        K{119, Qt::Key_Delete, u"\x7f", Qt::Key_Delete, u"\x7f"},
        K{127, Qt::Key_Pause, u"", Qt::Key_Pause, u""},
        K{132, Qt::Key_Backslash, u"\\", Qt::Key_Bar, u"|"},
        K{133, Qt::Key_Meta, u"", Qt::Key_Meta, u""},
        K{134, Qt::Key_Meta, u"", Qt::Key_Meta, u""},
        K{135, Qt::Key_Menu, u"", Qt::Key_Menu, u""},
    };
    return keys;
}

const JisKey* jisKey(quint32 keycode) {
    for (const JisKey& key : jisKeys()) {
        if (key.keycode == keycode)
            return &key;
    }
    return nullptr;
}

KeyPress jisKeyPress(const JisKey& key, quint32 xState) {
    KeyPress press;
    press.keycode = key.keycode;
    press.xState = xState;
    const bool shift = xState & kXShift;
    if (key.keypad && (xState & kXNumLock) && !shift) {
        press.key = key.numLockKey;
        press.text = QString::fromUtf16(key.numLockText);
    } else {
        press.key = shift ? key.shiftedKey : key.plainKey;
        press.text = QString::fromUtf16(shift ? key.shiftedText : key.plainText);
    }
    if (shift)
        press.modifiers |= Qt::ShiftModifier;
    if (xState & kXControl)
        press.modifiers |= Qt::ControlModifier;
    if (xState & kXAlt)
        press.modifiers |= shift && press.key == Qt::Key_Meta ? Qt::MetaModifier : Qt::AltModifier;
    if (key.keypad)
        press.modifiers |= Qt::KeypadModifier;
    if (xState & kXAlt) {
        press.text.clear();
    } else if ((xState & kXControl) && press.text.size() == 1) {
        // Ctrl with a letter or one of @ [ \ ] ^ _ gives the control character.
        const char16_t c = press.text.at(0).toUpper().unicode();
        press.text = c >= u'@' && c <= u'_' ? QString(QChar(char16_t(c - u'@'))) : QString();
    }
    return press;
}

TimerHold::TimerHold() {
    qApp->installEventFilter(this);
}

TimerHold::~TimerHold() {
    qApp->removeEventFilter(this);
}

// Timers that wait for a time to pass never fire; those that only wait for the event loop to
// come round (interval 0) still do.
bool TimerHold::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Timer)
        return false;
    const int id = static_cast<QTimerEvent*>(event)->timerId();
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(watched->thread());
    if (!dispatcher)
        return false;
    const QList<QAbstractEventDispatcher::TimerInfo> timers = dispatcher->registeredTimers(watched);
    return std::any_of(timers.begin(), timers.end(), [id](const auto& timer) {
        return timer.timerId == id && timer.interval > 0;
    });
}

namespace {
QtMessageTally* g_tally = nullptr;
} // namespace

QtMessageTally::QtMessageTally() {
    g_tally = this;
    m_previous = qInstallMessageHandler(count);
}

QtMessageTally::~QtMessageTally() {
    qInstallMessageHandler(m_previous);
    g_tally = nullptr;
}

// Qt's warnings are counted; the test's own information and anything graver pass on.
void QtMessageTally::count(QtMsgType type, const QMessageLogContext& context,
                           const QString& message) {
    if (g_tally && (type == QtWarningMsg || type == QtDebugMsg))
        ++g_tally->m_messages[message];
    else if (g_tally && g_tally->m_previous)
        g_tally->m_previous(type, context, message);
}

QStringList QtMessageTally::summary() const {
    QList<QPair<int, QString>> byCount;
    for (auto it = m_messages.cbegin(); it != m_messages.cend(); ++it)
        byCount.append({it.value(), it.key()});
    std::sort(byCount.begin(), byCount.end(),
              [](const auto& a, const auto& b) { return a.first > b.first; });
    QStringList lines;
    for (qsizetype i = 0; i < byCount.size() && i < 5; ++i)
        lines
            << QStringLiteral("Qt said %1 times: %2").arg(byCount[i].first).arg(byCount[i].second);
    if (byCount.size() > 5)
        lines << QStringLiteral("and %1 other messages").arg(byCount.size() - 5);
    return lines;
}

QWidget* keyTarget() {
    if (QWidget* popup = QApplication::activePopupWidget())
        return popup->focusWidget() ? popup->focusWidget() : popup;
    QWidget* window = QApplication::activeWindow();
    if (!window)
        return nullptr;
    return window->focusWidget() ? window->focusWidget() : window;
}

QWidget* compositionTarget() {
    if (QApplication::activePopupWidget())
        return nullptr;
    QWidget* target = keyTarget();
    if (!target || !target->testAttribute(Qt::WA_InputMethodEnabled))
        return nullptr;
    QInputMethodQueryEvent query(Qt::ImEnabled);
    QApplication::sendEvent(target, &query);
    return query.value(Qt::ImEnabled).toBool() ? target : nullptr;
}

namespace {

void sendKey(QWidget* target, QEvent::Type type, const KeyPress& press) {
    QKeyEvent event(type, press.key, press.modifiers, press.keycode, 0, press.xState, press.text,
                    press.autoRepeat);
    QSpontaneKeyEvent::setSpontaneous(&event);
    QApplication::sendEvent(target, &event);
}

} // namespace

void pressKey(const KeyPress& press) {
    QWidget* target = keyTarget();
    if (!target)
        return;
    const bool shortcut = qt_sendShortcutOverrideEvent(target, 0, press.key, press.modifiers,
                                                       press.text, press.autoRepeat);
    if (!shortcut)
        sendKey(target, QEvent::KeyPress, press);
    // The press may have closed the window or moved the focus: the release goes where keys go
    // now, as it would from the keyboard.
    if (QWidget* now = keyTarget())
        sendKey(now, QEvent::KeyRelease, press);
}

void commitText(QWidget* target, const QString& text, bool preeditFirst) {
    if (!target)
        return;
    if (preeditFirst) {
        QInputMethodEvent preedit(text, {});
        QApplication::sendEvent(target, &preedit);
    }
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(target, &commit);
}

void showAndActivate(QWidget* window, const std::function<void()>& show) {
    show();
    settle();
    if (window->isVisible() && QApplication::activeWindow() != window) {
        QApplication::setActiveWindow(window);
        settle();
    }
}

void settle() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void deliverPosted() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::KeyPress);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::KeyRelease);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
}

} // namespace tokotoko::storm

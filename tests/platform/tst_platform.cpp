// The platform layer's own logic: key translation for the keys the windows rely on, the
// Open-file filter conversion, the random draw's range, where cue files are found, and the
// screen reader's side: notifications, and the Alt press Qt hands on late.

#include "drawing/InputBox.h"
#include "platform/KeyTranslation.h"
#include "platform/qt/HeldAltGuard.h"
#include "platform/qt/QtAnnouncer.h"
#include "platform/qt/QtServices.h"
#include "platform/qt/QtSoundCue.h"
#include "platform/qt/QtSpeech.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

using namespace tokotoko;

namespace {

RawKey x11(int qtKey, quint32 keycode, quint32 state = 0,
           Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    RawKey key;
    key.qtKey = qtKey;
    key.modifiers = modifiers;
    key.nativeScanCode = keycode;
    key.nativeModifiers = state;
    key.x11 = true;
    return key;
}

RawKey synthetic(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    RawKey key;
    key.qtKey = qtKey;
    key.modifiers = modifiers;
    return key;
}

} // namespace

class PlatformTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void translation_data();
    void translation();
    void shiftStateComesFromTheXStateOnX11();
    void virtualKeysRoundTripThroughSynthesizedEvents();
    void nameFilters();
    void reseededRandomStaysBelowOne();
    void cueFilesAreFoundInTheFoldersInOrder();
    void aLockedInputBoxTakesNoInputMethodText();
    void aCancelledCompositionNeverComesBack_data();
    void aCancelledCompositionNeverComesBack();
    void announcementsAreNotificationsShownAgainEachTime();
    void anAltPressHandedOnLateLeavesTheMenuItOpenedOpen();
    void speechTakesAnEnglishVoiceWhateverTheSessionLanguage_data();
    void speechTakesAnEnglishVoiceWhateverTheSessionLanguage();
};

namespace {

// X state bits: Shift 0x1, Caps Lock 0x2, Ctrl 0x4, Alt (Mod1) 0x8, Num Lock (Mod2) 0x10.
// A key as X delivers it on the jp106 layout (Qt key and X keycode as observed in
// docs/jis-keys.md), or, with keycode 0, a key event made by the program or a test.
void translationRow(const char* name, Qt::Key qtKey, quint32 keycode, quint32 state,
                    Qt::KeyboardModifiers modifiers, int keyCode, int shift) {
    QTest::newRow(name) << int(qtKey) << int(modifiers) << keycode << state << keyCode << shift;
}

void x11Row(const char* name, Qt::Key qtKey, quint32 keycode, int keyCode, int shift = 0,
            quint32 state = 0, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    translationRow(name, qtKey, keycode, state, modifiers, keyCode, shift);
}

void keypadRow(const char* name, Qt::Key qtKey, quint32 keycode, quint32 state, int keyCode,
               int shift) {
    translationRow(name, qtKey, keycode, state, Qt::KeypadModifier, keyCode, shift);
}

void syntheticRow(const char* name, Qt::Key qtKey, Qt::KeyboardModifiers modifiers, int keyCode,
                  int shift) {
    translationRow(name, qtKey, 0, 0, modifiers, keyCode, shift);
}

} // namespace

void PlatformTest::translation_data() {
    QTest::addColumn<int>("qtKey");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<quint32>("keycode");
    QTest::addColumn<quint32>("state");
    QTest::addColumn<int>("keyCode");
    QTest::addColumn<int>("shift");

    // The digit row: with Shift the characters say nothing of the digit.
    x11Row("1", Qt::Key_1, 10, 49);
    x11Row("Shift+1 gives !", Qt::Key_Exclam, 10, 49, 1, 0x1);
    x11Row("Shift+2 gives \"", Qt::Key_QuoteDbl, 11, 50, 1, 0x1);
    x11Row("Shift+7 gives '", Qt::Key_Apostrophe, 16, 55, 1, 0x1);
    x11Row("0", Qt::Key_0, 19, 48);
    x11Row("Shift+0 gives ~", Qt::Key_AsciiTilde, 19, 48, 1, 0x1);
    // The JIS symbol keys, plain and shifted.
    x11Row("- key", Qt::Key_Minus, 20, 189);
    x11Row("Shift+- gives =", Qt::Key_Equal, 20, 189, 1, 0x1);
    x11Row("^ key", Qt::Key_AsciiCircum, 21, 222);
    x11Row("Shift+^ gives ~ like Shift+0", Qt::Key_AsciiTilde, 21, 222, 1, 0x1);
    x11Row("@ key", Qt::Key_At, 34, 192);
    x11Row("Shift+@ gives `", Qt::Key_QuoteLeft, 34, 192, 1, 0x1);
    x11Row("[ key", Qt::Key_BracketLeft, 35, 219);
    x11Row("Shift+[ gives {", Qt::Key_BraceLeft, 35, 219, 1, 0x1);
    x11Row("; key", Qt::Key_Semicolon, 47, 187);
    x11Row("Shift+; gives +", Qt::Key_Plus, 47, 187, 1, 0x1);
    x11Row(": key", Qt::Key_Colon, 48, 186);
    x11Row("Shift+: gives *", Qt::Key_Asterisk, 48, 186, 1, 0x1);
    x11Row("] key", Qt::Key_BracketRight, 51, 221);
    x11Row("Shift+] gives }", Qt::Key_BraceRight, 51, 221, 1, 0x1);
    x11Row(", key", Qt::Key_Comma, 59, 188);
    x11Row("Shift+, gives <", Qt::Key_Less, 59, 188, 1, 0x1);
    x11Row(". key", Qt::Key_Period, 60, 190);
    x11Row("Shift+. gives >", Qt::Key_Greater, 60, 190, 1, 0x1);
    x11Row("/ key", Qt::Key_Slash, 61, 191);
    x11Row("Shift+/ gives ?", Qt::Key_Question, 61, 191, 1, 0x1);
    // The yen key and the ろ key both give a backslash; only the keycode tells them apart.
    x11Row("yen key", Qt::Key_Backslash, 132, 220);
    x11Row("Shift+yen key gives |", Qt::Key_Bar, 132, 220, 1, 0x1);
    x11Row("ro key", Qt::Key_Backslash, 97, 226);
    x11Row("Shift+ro key gives _", Qt::Key_Underscore, 97, 226, 1, 0x1);
    // The Japanese keys.
    x11Row("半角/全角", Qt::Key_Zenkaku_Hankaku, 49, 229);
    x11Row("Shift+半角/全角", Qt::Key_Zenkaku_Hankaku, 49, 229, 1, 0x1);
    x11Row("半角/全角 reported as ZENKAKUHANKAKU", Qt::Key_unknown, 93, 229);
    x11Row("英数", Qt::Key_Eisu_toggle, 66, 240);
    x11Row("Shift+英数 is Caps Lock", Qt::Key_CapsLock, 66, 20, 1, 0x1);
    x11Row("無変換", Qt::Key_Muhenkan, 102, 29);
    x11Row("Shift+無変換", Qt::Key_Muhenkan, 102, 29, 1, 0x1);
    x11Row("変換", Qt::Key_Henkan, 100, 28);
    x11Row("カタカナ/ひらがな", Qt::Key_Hiragana_Katakana, 101, 242);
    x11Row("Shift+カタカナ/ひらがな", Qt::Key_Hiragana_Katakana, 101, 242, 1, 0x1);
    x11Row("KATAKANA keycode", Qt::Key_Katakana, 98, 242);
    x11Row("HIRAGANA keycode", Qt::Key_Hiragana, 99, 242);
    x11Row("left Windows key", Qt::Key_Meta, 133, 91);
    x11Row("right Windows key", Qt::Key_Meta, 134, 92);
    x11Row("Application key", Qt::Key_Menu, 135, 93);
    // A modifier key's own press carries its bit; Alt comes as Meta when Shift is held.
    x11Row("left Shift", Qt::Key_Shift, 50, 16, 1);
    x11Row("right Shift", Qt::Key_Shift, 62, 16, 1);
    x11Row("left Ctrl", Qt::Key_Control, 37, 17, 2);
    x11Row("right Ctrl", Qt::Key_Control, 105, 17, 2);
    x11Row("left Alt", Qt::Key_Alt, 64, 18, 4);
    x11Row("right Alt", Qt::Key_Alt, 108, 18, 4);
    x11Row("Alt while Shift is held is Meta", Qt::Key_Meta, 64, 18, 5, 0x1);
    x11Row("Ctrl while Alt is held", Qt::Key_Control, 37, 17, 6, 0x8);
    // PrintScreen gets the code that has a name; with Alt it is Sys_Req, the same key.
    x11Row("PrintScreen", Qt::Key_Print, 107, 42);
    x11Row("Alt+PrintScreen is Sys_Req", Qt::Key_SysReq, 107, 42, 4, 0x8);
    // Function keys; some X keycodes equal unrelated virtual-key codes.
    x11Row("F1", Qt::Key_F1, 67, 112);
    x11Row("Shift+F1", Qt::Key_F1, 67, 112, 1, 0x1);
    x11Row("Alt+F4", Qt::Key_F4, 70, 115, 4, 0x8);
    x11Row("F10", Qt::Key_F10, 76, 121);
    x11Row("F11", Qt::Key_F11, 95, 122);
    x11Row("F12 has keycode 96, the keypad 0 code", Qt::Key_F12, 96, 123);
    x11Row("Page Up has keycode 112, the F1 code", Qt::Key_PageUp, 112, 33);
    x11Row("End has keycode 115, the F4 code", Qt::Key_End, 115, 35);
    x11Row("Alt+End is not Alt+F4", Qt::Key_End, 115, 35, 4, 0x8);
    // The keypad: Num Lock on gives 96-111, off the navigation codes.
    keypadRow("keypad 7, Num Lock on", Qt::Key_7, 79, 0x10, 103, 0);
    keypadRow("keypad 5, Num Lock on", Qt::Key_5, 84, 0x10, 101, 0);
    keypadRow("keypad 0, Num Lock on", Qt::Key_0, 90, 0x10, 96, 0);
    keypadRow("keypad ., Num Lock on", Qt::Key_Period, 91, 0x10, 110, 0);
    keypadRow("keypad 7, Num Lock off", Qt::Key_Home, 79, 0, 36, 0);
    keypadRow("keypad 8, Num Lock off", Qt::Key_Up, 80, 0, 38, 0);
    keypadRow("keypad 5, Num Lock off", Qt::Key_Clear, 84, 0, 12, 0);
    keypadRow("keypad 0, Num Lock off", Qt::Key_Insert, 90, 0, 45, 0);
    keypadRow("keypad ., Num Lock off", Qt::Key_Delete, 91, 0, 46, 0);
    keypadRow("Shift+keypad 7, Num Lock off", Qt::Key_Home, 79, 0x1, 36, 1);
    // Shift under Num Lock gives the navigation key, and Windows lets go of Shift for it.
    keypadRow("Shift+keypad 7, Num Lock on", Qt::Key_Home, 79, 0x11, 36, 0);
    keypadRow("Shift+keypad ., Num Lock on", Qt::Key_Delete, 91, 0x11, 46, 0);
    keypadRow("Ctrl+Shift+keypad 1, Num Lock on", Qt::Key_End, 87, 0x15, 35, 2);
    keypadRow("Shift+keypad Enter keeps Shift", Qt::Key_Enter, 104, 0x11, 13, 1);
    keypadRow("Shift+keypad * keeps Shift", Qt::Key_Asterisk, 63, 0x11, 106, 1);
    keypadRow("keypad *", Qt::Key_Asterisk, 63, 0, 106, 0);
    keypadRow("keypad - is not the - key", Qt::Key_Minus, 82, 0x10, 109, 0);
    keypadRow("keypad +", Qt::Key_Plus, 86, 0x10, 107, 0);
    keypadRow("keypad /", Qt::Key_Slash, 106, 0x10, 111, 0);
    keypadRow("keypad Enter", Qt::Key_Enter, 104, 0x10, 13, 0);
    x11Row("Num Lock", Qt::Key_NumLock, 77, 144);
    x11Row("Scroll Lock", Qt::Key_ScrollLock, 78, 145);
    x11Row("Pause", Qt::Key_Pause, 127, 19);
    // The keys the entrance and every window rely on.
    x11Row("Escape", Qt::Key_Escape, 9, 27);
    x11Row("Return", Qt::Key_Return, 36, 13);
    x11Row("Space", Qt::Key_Space, 65, 32);
    x11Row("arrow Down", Qt::Key_Down, 116, 40);
    x11Row("arrow Up", Qt::Key_Up, 111, 38);
    x11Row("Tab", Qt::Key_Tab, 23, 9);
    x11Row("Shift+Tab is Backtab", Qt::Key_Backtab, 23, 9, 1, 0x1);
    x11Row("Backspace", Qt::Key_Backspace, 22, 8);
    x11Row("Delete", Qt::Key_Delete, 119, 46);
    x11Row("A", Qt::Key_A, 38, 65);
    x11Row("Shift+A", Qt::Key_A, 38, 65, 1, 0x1);
    x11Row("A with Caps Lock on", Qt::Key_A, 38, 65, 0, 0x2);
    x11Row("Ctrl+Shift+A", Qt::Key_A, 38, 65, 3, 0x5);
    x11Row("unknown key", Qt::Key_unknown, 120, 0);
    // Events made by the program or a test carry no keycode: Qt's key and modifiers count.
    syntheticRow("synthetic keypad digit", Qt::Key_1, Qt::KeypadModifier, 97, 0);
    syntheticRow("synthetic Backtab keeps Shift", Qt::Key_Backtab, Qt::NoModifier, 9, 1);
    syntheticRow("posted Windows key", Qt::Key_Meta, Qt::NoModifier, 91, 0);
    syntheticRow("posted Alt", Qt::Key_Alt, Qt::AltModifier, 18, 4);
    syntheticRow("synthetic Alt without modifiers", Qt::Key_Alt, Qt::NoModifier, 18, 4);
    syntheticRow("posted Shift", Qt::Key_Shift, Qt::ShiftModifier, 16, 1);
    syntheticRow("synthetic Shift+5 gives %", Qt::Key_Percent, Qt::ShiftModifier, 53, 1);
    syntheticRow("synthetic ~ is the ^ key", Qt::Key_AsciiTilde, Qt::ShiftModifier, 222, 1);
    syntheticRow("synthetic backslash is the ro key", Qt::Key_Backslash, Qt::NoModifier, 226, 0);
    syntheticRow("synthetic yen", Qt::Key_yen, Qt::NoModifier, 220, 0);
    syntheticRow("synthetic Meta modifier is not Alt", Qt::Key_A,
                 Qt::ControlModifier | Qt::MetaModifier, 65, 2);
}

void PlatformTest::translation() {
    QFETCH(int, qtKey);
    QFETCH(int, modifiers);
    QFETCH(quint32, keycode);
    QFETCH(quint32, state);
    QFETCH(int, keyCode);
    QFETCH(int, shift);
    const QKeyEvent event(QEvent::KeyPress, qtKey, Qt::KeyboardModifiers(modifiers), keycode, 0,
                          state);
    QCOMPARE(translateKey(event, keycode != 0), (KeyStroke{keyCode, shift}));
}

void PlatformTest::shiftStateComesFromTheXStateOnX11() {
    // A with Shift+Alt held: Qt may call the Alt a Meta modifier; the X state says Mod1.
    const KeyStroke stroke =
        translateKey(x11(Qt::Key_A, 38, 0x1 | 0x8, Qt::ShiftModifier | Qt::MetaModifier));
    QCOMPARE(stroke, (KeyStroke{65, ShiftBit | AltBit}));
    // Caps Lock (0x2) and Num Lock (0x10) are not shift bits.
    QCOMPARE(translateKey(x11(Qt::Key_A, 38, 0x2 | 0x10)).shift, 0);
    // Without native data the Qt modifiers count; Meta (the Windows key) is not Alt.
    QCOMPARE(translateKey(synthetic(Qt::Key_A, Qt::ControlModifier | Qt::MetaModifier)).shift,
             CtrlBit);
}

void PlatformTest::virtualKeysRoundTripThroughSynthesizedEvents() {
    for (const int virtualKey :
         {vk::Tab, vk::Escape, vk::Alt, vk::LeftWindows, vk::F10, vk::Shift, vk::Down, vk::Enter}) {
        const Qt::Key key = qtKeyForVirtualKey(virtualKey, false);
        QVERIFY2(key != Qt::Key_unknown, qPrintable(QString::number(virtualKey)));
        QCOMPARE(translateKey(synthetic(key)).keyCode, virtualKey);
    }
    QCOMPARE(qtKeyForVirtualKey(vk::Tab, true), Qt::Key_Backtab);
}

void PlatformTest::nameFilters() {
    QCOMPARE(qtNameFilters(QStringLiteral("テキスト ファイル (*.txt)|*.txt|")),
             QStringList{QStringLiteral("テキスト ファイル (*.txt)")});
    QCOMPARE(qtNameFilters(QStringLiteral("Text|*.txt;*.text|All|*.*")),
             (QStringList{QStringLiteral("Text (*.txt *.text)"), QStringLiteral("All (*.*)")}));
}

void PlatformTest::reseededRandomStaysBelowOne() {
    SystemClock clock;
    for (int i = 0; i < 20000; ++i) {
        const float r = clock.reseededRandom();
        QVERIFY(r >= 0.0f);
        QVERIFY(r < 1.0f);
    }
}

void PlatformTest::cueFilesAreFoundInTheFoldersInOrder() {
    QTemporaryDir first;
    QTemporaryDir second;
    QVERIFY(first.isValid() && second.isValid());
    for (const QString& path :
         {second.filePath(QStringLiteral("ding.wav")), first.filePath(QStringLiteral("boo.wav")),
          second.filePath(QStringLiteral("boo.wav"))}) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const QtSoundCue cues({first.path(), second.path()});
    QCOMPARE(cues.resolve(QStringLiteral("\\boo.wav")).toLocalFile(),
             first.filePath(QStringLiteral("boo.wav")));
    QCOMPARE(cues.resolve(QStringLiteral("\\ding.wav")).toLocalFile(),
             second.filePath(QStringLiteral("ding.wav")));
    // A folder ending in a separator plus the cue's own backslash still finds the file.
    const QtSoundCue rooted({second.path() + QLatin1Char('/')});
    QCOMPARE(rooted.resolve(QStringLiteral("\\ding.wav")).toLocalFile(),
             second.filePath(QStringLiteral("ding.wav")));
    QVERIFY(cues.resolve(QStringLiteral("\\zannen.wav")).isEmpty());
    QVERIFY(cues.resolve(QStringLiteral("\\")).isEmpty());
}

void PlatformTest::aLockedInputBoxTakesNoInputMethodText() {
    InputBox box;
    const auto commit = [&box](const QString& text) {
        QInputMethodEvent event;
        event.setCommitString(text);
        QApplication::sendEvent(&box, &event);
    };
    commit(QStringLiteral("日本"));
    QCOMPARE(box.text(), QStringLiteral("日本"));
    QVERIFY(box.inputMethodQuery(Qt::ImEnabled).toBool());
    box.setReadOnly(true);
    QVERIFY(!box.inputMethodQuery(Qt::ImEnabled).toBool());
    commit(QStringLiteral("語"));
    QCOMPARE(box.text(), QStringLiteral("日本"));
    box.setReadOnly(false);
    box.setCompositionAllowed(false);
    QVERIFY(!box.inputMethodQuery(Qt::ImEnabled).toBool());
}

// Each step is an input-method event: "show X" a composition, "hide" the composition taken
// away, "commit X" a commit (as Qt's IBus plugin also sends for a hidden composition when the
// focus moves).
void PlatformTest::aCancelledCompositionNeverComesBack_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("text");
    QTest::newRow("cancelled, then repeated on a focus change")
        << QStringList{"show か", "show かみ", "hide", "commit かみ"} << QString();
    QTest::newRow("converted and committed")
        << QStringList{"show かみ", "show 神", "commit 神"} << QStringLiteral("神");
    QTest::newRow("composed again after a cancel")
        << QStringList{"show かみ", "hide", "show かみ", "commit かみ"} << QStringLiteral("かみ");
    QTest::newRow("committed without a composition after a cancel")
        << QStringList{"show か", "hide", "commit 　"} << QStringLiteral("　");
}

void PlatformTest::aCancelledCompositionNeverComesBack() {
    QFETCH(QStringList, steps);
    QFETCH(QString, text);
    InputBox box;
    for (const QString& step : steps) {
        const QString argument = step.section(QLatin1Char(' '), 1);
        QInputMethodEvent event(step.startsWith(QLatin1String("show")) ? argument : QString(), {});
        if (step.startsWith(QLatin1String("commit")))
            event.setCommitString(argument);
        QApplication::sendEvent(&box, &event);
    }
    QCOMPARE(box.text(), text);
}

// Counts the times a widget is shown.
class ShowCounter final : public QObject {
public:
    int shows = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show)
            ++shows;
        return QObject::eventFilter(watched, event);
    }
};

void PlatformTest::announcementsAreNotificationsShownAgainEachTime() {
    QWidget window;
    auto* box = new QLineEdit(&window);
    window.show();
    box->setFocus();
    bool screenReader = false;
    QtAnnouncer announcer([&screenReader] { return screenReader; });
    const auto notification = [&window] {
        return window.findChild<QWidget*>(QLatin1String(QtAnnouncer::kNotificationName));
    };

    // No screen reader: nothing is built.
    announcer.announce(box, QStringLiteral("１行目"));
    QVERIFY(!notification());

    screenReader = true;
    announcer.announce(box, QStringLiteral("１行目"));
    QWidget* shown = notification();
    QVERIFY(shown);
    QCOMPARE(shown->parentWidget(), &window);
    QVERIFY(shown->isVisible());
    QCOMPARE(shown->size(), QSize(0, 0));
    QCOMPARE(shown->focusPolicy(), Qt::NoFocus);
    QCOMPARE(window.focusWidget(), box);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(shown);
    QVERIFY(accessible);
    QCOMPARE(accessible->role(), QAccessible::Notification);
    QCOMPARE(accessible->text(QAccessible::Name), QStringLiteral("１行目"));

    // The same text again is a new announcement: one widget, shown once more.
    ShowCounter counter;
    shown->installEventFilter(&counter);
    announcer.announce(&window, QStringLiteral("１行目"));
    announcer.announce(&window, QStringLiteral("GAME OVER"));
    QCOMPARE(counter.shows, 2);
    QCOMPARE(window.findChildren<QWidget*>(QLatin1String(QtAnnouncer::kNotificationName)).size(),
             1);
    QCOMPARE(accessible->text(QAccessible::Name), QStringLiteral("GAME OVER"));
}

void PlatformTest::anAltPressHandedOnLateLeavesTheMenuItOpenedOpen() {
    HeldAltGuard guard([] { return true; });
    qApp->installEventFilter(&guard);
    QWidget window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QMenu menu;
    menu.addAction(QStringLiteral("終了(&X)"));
    const auto lateAlt = [&menu](QEvent::Type type) {
        QKeyEvent event(type, Qt::Key_Alt,
                        type == QEvent::KeyPress ? Qt::AltModifier : Qt::NoModifier);
        QApplication::sendEvent(&menu, &event); // as Qt posts it again: not spontaneous
    };

    // Alt+F: the menu opens on the F, while Alt is down; the Alt press comes after it.
    QTest::keyPress(window.windowHandle(), Qt::Key_Alt, Qt::AltModifier);
    menu.popup(window.geometry().center());
    QVERIFY(QTest::qWaitForWindowExposed(&menu));
    lateAlt(QEvent::KeyPress);
    QVERIFY(menu.isVisible());

    // Alt pressed again after its release closes the menu, as without a screen reader.
    lateAlt(QEvent::KeyRelease);
    QTest::keyRelease(window.windowHandle(), Qt::Key_Alt);
    lateAlt(QEvent::KeyPress);
    QTRY_VERIFY(!menu.isVisible());
    qApp->removeEventFilter(&guard);
}

void PlatformTest::speechTakesAnEnglishVoiceWhateverTheSessionLanguage_data() {
    QTest::addColumn<QTextToSpeech::State>("state");
    QTest::addColumn<QTextToSpeech::ErrorReason>("reason");
    QTest::addColumn<QList<QLocale>>("locales");
    QTest::addColumn<QString>("chosen"); // empty: silent
    using R = QTextToSpeech::ErrorReason;
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    const QLocale british(QLocale::English, QLocale::UnitedKingdom);
    const QLocale american(QLocale::English, QLocale::UnitedStates);
    QTest::newRow("ready, American English preferred")
        << QTextToSpeech::Ready << R::NoError << QList{japanese, british, american}
        << QStringLiteral("en_US");
    // LANG=C: no voice for the session's language, which the engine reports as an error.
    QTest::newRow("no voice for the session language")
        << QTextToSpeech::Error << R::Configuration << QList{japanese, british}
        << QStringLiteral("en_GB");
    QTest::newRow("daemon unreachable")
        << QTextToSpeech::Error << R::Initialization << QList<QLocale>{} << QString();
    QTest::newRow("no English voice")
        << QTextToSpeech::Ready << R::NoError << QList{japanese} << QString();
}

void PlatformTest::speechTakesAnEnglishVoiceWhateverTheSessionLanguage() {
    QFETCH(QTextToSpeech::State, state);
    QFETCH(QTextToSpeech::ErrorReason, reason);
    QFETCH(QList<QLocale>, locales);
    QFETCH(QString, chosen);
    const std::optional<QLocale> locale = englishVoiceLocale(state, reason, locales);
    QCOMPARE(locale ? locale->name() : QString(), chosen);
}

QTEST_MAIN(PlatformTest)
#include "tst_platform.moc"

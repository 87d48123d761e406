// The platform layer's own logic: key translation for the keys the windows rely on, the
// Open-file filter conversion, the random draw's range, and where cue files are found.

#include "platform/KeyTranslation.h"
#include "platform/qt/QtServices.h"
#include "platform/qt/QtSoundCue.h"

#include <QDir>
#include <QFile>
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

Q_DECLARE_METATYPE(tokotoko::RawKey)

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
};

void PlatformTest::translation_data() {
    QTest::addColumn<RawKey>("key");
    QTest::addColumn<int>("keyCode");
    QTest::addColumn<int>("shift");

    // Shift+1 arrives as "!" and Shift+0 as "~" on the jp layout: still the digit keys.
    QTest::newRow("Shift+1 by keycode") << x11(Qt::Key_Exclam, 10, 0x1) << 49 << 1;
    QTest::newRow("Shift+0 by keycode") << x11(Qt::Key_AsciiTilde, 19, 0x1) << 48 << 1;
    QTest::newRow("main-row 5") << x11(Qt::Key_5, 14) << 53 << 0;
    // The keypad: Num Lock on gives digits 96-105, off gives the navigation codes.
    QTest::newRow("keypad 5, NumLock on")
        << x11(Qt::Key_5, 84, 0x10, Qt::KeypadModifier) << 101 << 0;
    QTest::newRow("keypad 8, NumLock off") << x11(Qt::Key_Up, 80, 0, Qt::KeypadModifier) << 38 << 0;
    QTest::newRow("keypad 5, NumLock off")
        << x11(Qt::Key_Clear, 84, 0, Qt::KeypadModifier) << 12 << 0;
    QTest::newRow("keypad digit, synthetic") << synthetic(Qt::Key_1, Qt::KeypadModifier) << 97 << 0;
    QTest::newRow("keypad Enter") << x11(Qt::Key_Enter, 104, 0, Qt::KeypadModifier) << 13 << 0;
    QTest::newRow("arrow Down") << x11(Qt::Key_Down, 116) << 40 << 0;
    QTest::newRow("Return") << x11(Qt::Key_Return, 36) << 13 << 0;
    QTest::newRow("Space") << x11(Qt::Key_Space, 65) << 32 << 0;
    QTest::newRow("Escape") << x11(Qt::Key_Escape, 9) << 27 << 0;
    QTest::newRow("Shift+Tab is Backtab") << x11(Qt::Key_Backtab, 23, 0x1) << 9 << 1;
    QTest::newRow("synthetic Backtab keeps Shift") << synthetic(Qt::Key_Backtab) << 9 << 1;
    // The yen key and the ろ key both give a backslash; only the keycode tells them apart.
    QTest::newRow("yen key") << x11(Qt::Key_Backslash, 132) << 220 << 0;
    QTest::newRow("ro key") << x11(Qt::Key_Backslash, 97) << 226 << 0;
    QTest::newRow("Shift+yen") << x11(Qt::Key_Bar, 132, 0x1) << 220 << 1;
    QTest::newRow(": key") << x11(Qt::Key_Colon, 48) << 186 << 0;
    QTest::newRow("Shift+: key gives *") << x11(Qt::Key_Asterisk, 48, 0x1) << 186 << 1;
    QTest::newRow("@ key") << x11(Qt::Key_At, 34) << 192 << 0;
    QTest::newRow("^ key") << x11(Qt::Key_AsciiCircum, 21) << 222 << 0;
    QTest::newRow("- key") << x11(Qt::Key_Minus, 20) << 189 << 0;
    QTest::newRow("[ key") << x11(Qt::Key_BracketLeft, 35) << 219 << 0;
    QTest::newRow("] key") << x11(Qt::Key_BracketRight, 51) << 221 << 0;
    QTest::newRow("keypad - is not the - key")
        << x11(Qt::Key_Minus, 82, 0x10, Qt::KeypadModifier) << 109 << 0;
    // The Japanese keys.
    QTest::newRow("半角/全角") << x11(Qt::Key_Zenkaku_Hankaku, 49) << 229 << 0;
    QTest::newRow("無変換") << x11(Qt::Key_Muhenkan, 102) << 29 << 0;
    QTest::newRow("変換") << x11(Qt::Key_Henkan, 100) << 28 << 0;
    QTest::newRow("カタカナ/ひらがな") << x11(Qt::Key_Hiragana_Katakana, 101) << 242 << 0;
    QTest::newRow("英数") << x11(Qt::Key_Eisu_toggle, 66) << 240 << 0;
    QTest::newRow("Windows key") << x11(Qt::Key_Meta, 133) << 91 << 0;
    QTest::newRow("Application key") << x11(Qt::Key_Menu, 135) << 93 << 0;
    // Alt pressed with Shift held arrives as Meta on the jp layout.
    QTest::newRow("Shift then Alt") << x11(Qt::Key_Meta, 64, 0x1) << 18 << 1;
    QTest::newRow("unknown key") << x11(Qt::Key_unknown, 120) << 0 << 0;
}

void PlatformTest::translation() {
    QFETCH(RawKey, key);
    QFETCH(int, keyCode);
    QFETCH(int, shift);
    QCOMPARE(translateKey(key), (KeyStroke{keyCode, shift}));
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

QTEST_MAIN(PlatformTest)
#include "tst_platform.moc"

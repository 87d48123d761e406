// What the platform layer does differently under a Wayland compositor, driven offscreen: the
// clipboard text that the compositor could not take yet is offered again with the first key
// or click, once, and only then; the keycode tells apart only the JIS keys that share a key
// symbol, since a virtual keyboard's keycodes name no physical key.

#include "platform/KeyTranslation.h"
#include "platform/qt/QtServices.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QTest>
#include <QWidget>

#include <memory>

using namespace tokotoko;

namespace {

QString clipboardText() {
    return QGuiApplication::clipboard()->text(QClipboard::Clipboard);
}

// Another program takes the clipboard, or the compositor refused ours: either way it holds
// something else now.
void clipboardTakenElsewhere(const QString& text = QStringLiteral("elsewhere")) {
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
}

} // namespace

class WaylandTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void keyTranslation_data();
    void keyTranslation();
    void init();
    void cleanup();
    void firstInput_data();
    void firstInput();
    void offeredOnlyOnce();
    void textSetAfterInputIsNotOfferedAgain();
    void focusLossWaitsForInputAgain();

private:
    void showWindow();
    std::unique_ptr<QWidget> m_window;
};

void WaylandTest::keyTranslation_data() {
    QTest::addColumn<int>("qtKey");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("keycode");
    QTest::addColumn<int>("keyCode");
    QTest::addColumn<int>("shift");
    const int shift = Qt::ShiftModifier;
    // A JIS keyboard with the jp keymap: the same symbol from two keys.
    QTest::newRow("yen key: backslash") << int(Qt::Key_Backslash) << 0 << 132 << vk::Yen << 0;
    QTest::newRow("ro key: backslash") << int(Qt::Key_Backslash) << 0 << 97 << vk::Ro << 0;
    QTest::newRow("shift+yen: bar") << int(Qt::Key_Bar) << shift << 132 << vk::Yen << ShiftBit;
    QTest::newRow("shift+ro: underscore")
        << int(Qt::Key_Underscore) << shift << 97 << vk::Ro << ShiftBit;
    QTest::newRow("shift+0: tilde")
        << int(Qt::Key_AsciiTilde) << shift << 19 << vk::Digit0 << ShiftBit;
    QTest::newRow("shift+^: tilde")
        << int(Qt::Key_AsciiTilde) << shift << 21 << vk::Caret << ShiftBit;
    QTest::newRow("shift+alt: meta")
        << int(Qt::Key_Meta) << int(Qt::ShiftModifier | Qt::AltModifier) << 64 << vk::Alt
        << (ShiftBit | AltBit);
    QTest::newRow("windows key: meta") << int(Qt::Key_Meta) << 0 << 133 << vk::LeftWindows << 0;
    QTest::newRow("digit 1") << int(Qt::Key_1) << 0 << 10 << 49 << 0;
    QTest::newRow("shift+1: exclam") << int(Qt::Key_Exclam) << shift << 10 << 49 << ShiftBit;
    // A virtual keyboard's own keymap: its keycodes say nothing about the key.
    QTest::newRow("virtual: Down at the 1 key's keycode")
        << int(Qt::Key_Down) << 0 << 10 << vk::Down << 0;
    QTest::newRow("virtual: a at the yen key's keycode")
        << int(Qt::Key_A) << 0 << 132 << vk::LetterA << 0;
    QTest::newRow("virtual: backslash at Escape's keycode")
        << int(Qt::Key_Backslash) << 0 << 9 << vk::Ro << 0;
    QTest::newRow("virtual: Escape at the Alt key's keycode")
        << int(Qt::Key_Escape) << 0 << 64 << vk::Escape << 0;
    QTest::newRow("posted: no keycode") << int(Qt::Key_Backslash) << 0 << 0 << vk::Ro << 0;
}

void WaylandTest::keyTranslation() {
    QFETCH(int, qtKey);
    QFETCH(int, modifiers);
    QFETCH(int, keycode);
    QFETCH(int, keyCode);
    QFETCH(int, shift);
    RawKey key;
    key.qtKey = qtKey;
    key.modifiers = Qt::KeyboardModifiers(modifiers);
    key.nativeScanCode = static_cast<quint32>(keycode);
    key.wayland = true;
    const KeyStroke stroke = translateKey(key);
    QCOMPARE(stroke.keyCode, keyCode);
    QCOMPARE(stroke.shift, shift);
}

void WaylandTest::init() {
    clipboardTakenElsewhere(QString());
    showWindow();
}

void WaylandTest::cleanup() {
    m_window.reset();
}

void WaylandTest::showWindow() {
    if (!m_window)
        m_window = std::make_unique<QWidget>();
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

// The first input after a text was set: which kinds bring it back, and only where the
// window system needs an input serial (Wayland) at all.
void WaylandTest::firstInput_data() {
    QTest::addColumn<bool>("needsInputSerial");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::newRow("wayland, key") << true << "key"
                                  << "１\r\n押せばわかる";
    QTest::newRow("wayland, click") << true << "click"
                                    << "１\r\n押せばわかる";
    QTest::newRow("wayland, key posted by the program") << true << "posted"
                                                        << "elsewhere";
    QTest::newRow("x11, key") << false << "key"
                              << "elsewhere";
}

void WaylandTest::firstInput() {
    QFETCH(bool, needsInputSerial);
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QtClipboard clipboard(needsInputSerial);
    clipboard.setText(QStringLiteral("１\r\n押せばわかる"));
    QCOMPARE(clipboardText(), QStringLiteral("１\r\n押せばわかる"));
    clipboardTakenElsewhere();

    if (input == QLatin1String("key")) {
        QTest::keyClick(m_window.get(), Qt::Key_Shift);
    } else if (input == QLatin1String("click")) {
        QTest::mouseClick(m_window.get(), Qt::LeftButton);
    } else {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QCoreApplication::sendEvent(m_window.get(), &press);
    }
    QCOMPARE(clipboardText(), expected);
}

void WaylandTest::offeredOnlyOnce() {
    QtClipboard clipboard(true);
    clipboard.setText(QStringLiteral("１\r\n押せばわかる"));
    clipboardTakenElsewhere();
    QTest::keyClick(m_window.get(), Qt::Key_Shift);
    QCOMPARE(clipboardText(), QStringLiteral("１\r\n押せばわかる"));

    // What another program copies later stays.
    clipboardTakenElsewhere(QStringLiteral("copied later"));
    QTest::keyClick(m_window.get(), Qt::Key_Shift);
    QCOMPARE(clipboardText(), QStringLiteral("copied later"));
}

void WaylandTest::textSetAfterInputIsNotOfferedAgain() {
    QtClipboard clipboard(true);
    QTest::keyClick(m_window.get(), Qt::Key_Down);
    clipboard.setText(QStringLiteral("２\r\nどの指使うの"));
    QCOMPARE(clipboardText(), QStringLiteral("２\r\nどの指使うの"));
    clipboardTakenElsewhere();
    QTest::keyClick(m_window.get(), Qt::Key_Down);
    QCOMPARE(clipboardText(), QStringLiteral("elsewhere"));
}

void WaylandTest::focusLossWaitsForInputAgain() {
    QtClipboard clipboard(true);
    QTest::keyClick(m_window.get(), Qt::Key_Shift);
    // The compositor takes the keyboard away (the offscreen platform never does by itself).
    Q_EMIT qGuiApp->focusWindowChanged(nullptr);

    // Set while the program is in the background: the compositor has no use for the old
    // serial, so the text waits for the first input after the focus comes back.
    clipboard.setText(QStringLiteral("３\r\nｱﾙﾌｧﾍﾞｯﾄに挑戦"));
    clipboardTakenElsewhere();
    showWindow();
    QCOMPARE(clipboardText(), QStringLiteral("elsewhere"));
    QTest::keyClick(m_window.get(), Qt::Key_Shift);
    QCOMPARE(clipboardText(), QStringLiteral("３\r\nｱﾙﾌｧﾍﾞｯﾄに挑戦"));
}

QTEST_MAIN(WaylandTest)
#include "tst_wayland.moc"

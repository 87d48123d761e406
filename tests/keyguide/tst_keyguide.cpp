// The key guide window driven with real key events on the fake platform.

#include "FakePlatform.h"
#include "FormTest.h"

#include "keyguide/frmKeyGuide.h"

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QMenuBar>
#include <QPointer>
#include <QTest>
#include <QTimer>

using namespace tokotoko;
using namespace tokotoko::test;

namespace {

using D = KeyInjector::Direction;
using Posted = FakeKeyInjector::Posted;

struct Fixture {
    FakePlatform fake;
    frmKeyGuide form{fake};

    QLabel* label(const char* name) { return form.findChild<QLabel*>(QLatin1String(name)); }
    QLabel* lblKey() { return label("lblKey"); }
    QLabel* lblYomi() { return label("lblYomi"); }
    QStringList shown() { return {lblKey()->text(), lblYomi()->text()}; }
    // Lets the posted key events come back through the event queue.
    void deliverPostedKeys() {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }
};

// An Alt tap as the window system delivers it: the shortcut override that a menu bar watches
// for, then the press and the release.
void tapAlt(FormWindow& form) {
    QWidget* receiver = keyReceiver(form);
    qt_sendShortcutOverrideEvent(receiver, 0, Qt::Key_Alt, Qt::AltModifier);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
    sendKeyEvent(form, press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
    sendKeyEvent(form, release);
}

} // namespace

Q_DECLARE_METATYPE(tokotoko::test::FakeKeyInjector::Posted)

class KeyGuideTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void opensEmptyWithTheInputMethodOff();
    void eachKeyDownCopiesTheNameThenTheReading();
    void aKeyWithoutEntryCopiesTheShownTextsAgain();
    void shiftZeroEmptiesOnlyTheName();
    void japaneseInputKeysSwitchTheInputMethodOffAgain();
    void menuKeysPostOnePairPerPress_data();
    void menuKeysPostOnePairPerPress();
    void menuKeysWithShiftPostNothing();
    void theKeyAfterAnAltTapIsStillNamed();
    void tabAndShiftTabAreNamedAndMoveNothing();
    void escapeIsNamedAndDoesNotClose();
    void altF4ClosesTheWindow();
    void reopeningStartsAfresh();
    void doubleClickOnTheKeyNameEndsTheProgram();
    void keyNameIsShownWhole();
    void layoutFollowsTheTable();
    void versionBoxFromTheMenu();
};

void KeyGuideTest::opensEmptyWithTheInputMethodOff() {
    Fixture f;
    f.fake.clipboard.setText(QStringLiteral("１\r\n押せばわかる"));
    QVERIFY(showActive(f.form));
    QCOMPARE(f.form.windowTitle(), QStringLiteral("押せばわかる"));
    QCOMPARE(f.shown(), (QStringList{QString(), QString()}));
    // Opening copies nothing: the entrance's text stays on the clipboard.
    QCOMPARE(f.fake.clipboard.texts, QStringList{QStringLiteral("１\r\n押せばわかる")});
    QCOMPARE(f.fake.inputMethod.switchOffCount, 1);
    QVERIFY(f.form.menuKeyToggle());
    // No control takes the focus, and nothing of the window composes text.
    QCOMPARE(QApplication::focusWidget(), f.form.client());
    // A screen reader says where the learner is, after the window's name.
    QVERIFY(f.form.client()->focusPolicy() != Qt::NoFocus);
    QCOMPARE(f.form.client()->accessibleName(), QStringLiteral("押せばわかる　Alt＋F4で終了"));
    QVERIFY(!f.form.testAttribute(Qt::WA_InputMethodEnabled));
    QVERIFY(!f.form.client()->testAttribute(Qt::WA_InputMethodEnabled));
    QVERIFY(f.fake.keys.posted.isEmpty());
}

void KeyGuideTest::eachKeyDownCopiesTheNameThenTheReading() {
    Fixture f;
    QVERIFY(showActive(f.form));
    pressKey(f.form, Qt::Key_A);
    QCOMPARE(f.shown(), (QStringList{QStringLiteral("ａ"), QStringLiteral("Ａ")}));
    QCOMPARE(f.fake.clipboard.texts, (QStringList{QStringLiteral("ａ"), QStringLiteral("Ａ")}));
    // A screen reader reads what is shown.
    QCOMPARE(f.lblKey()->accessibleName(), QStringLiteral("ａ"));
    QCOMPARE(f.lblYomi()->accessibleName(), QStringLiteral("Ａ"));

    pressKey(f.form, Qt::Key_5);
    QCOMPARE(f.shown(), (QStringList{QStringLiteral("５"), QString()}));
    QCOMPARE(f.fake.clipboard.texts.mid(2), (QStringList{QStringLiteral("５"), QString()}));
    QCOMPARE(f.fake.clipboard.text(), QString());

    // The keypad's digits are digits too; Shift+4 is named by the symbol.
    pressKey(f.form, Qt::Key_7, Qt::KeypadModifier);
    QCOMPARE(f.shown(), (QStringList{QStringLiteral("７"), QString()}));
    pressKey(f.form, Qt::Key_Dollar, Qt::ShiftModifier);
    QCOMPARE(f.shown(), (QStringList{QStringLiteral("＄"), QStringLiteral("ドル")}));
    QCOMPARE(f.fake.clipboard.text(), QStringLiteral("ドル"));
    // One announcement per key: the name and the reading, the name alone where the key has
    // no reading (not the one still shown from before).
    QCOMPARE(f.fake.announcer.texts,
             (QStringList{QStringLiteral("ａ、Ａ"), QStringLiteral("５"), QStringLiteral("７"),
                          QStringLiteral("＄、ドル")}));
}

void KeyGuideTest::aKeyWithoutEntryCopiesTheShownTextsAgain() {
    Fixture f;
    QVERIFY(showActive(f.form));
    pressKey(f.form, Qt::Key_Left);
    const QStringList arrow{QStringLiteral("←"), QStringLiteral("左矢印")};
    QCOMPARE(f.shown(), arrow);
    for (const auto& [key, modifiers] :
         std::initializer_list<std::pair<Qt::Key, Qt::KeyboardModifiers>>{
             {Qt::Key_ScrollLock, Qt::NoModifier},
             {Qt::Key_A, Qt::ControlModifier},
             {Qt::Key_F1, Qt::ShiftModifier},
             {Qt::Key_Space, Qt::ShiftModifier},
             // Keys without a virtual-key code: keypad "=", a media key.
             {Qt::Key_Equal, Qt::KeypadModifier},
             {Qt::Key_VolumeUp, Qt::NoModifier}}) {
        f.fake.clipboard.texts.clear();
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        sendKeyEvent(f.form, press);
        QCOMPARE(f.shown(), arrow);
        QCOMPARE(f.fake.clipboard.texts, arrow);
    }
}

void KeyGuideTest::shiftZeroEmptiesOnlyTheName() {
    Fixture f;
    QVERIFY(showActive(f.form));
    pressKey(f.form, Qt::Key_B);
    pressKey(f.form, Qt::Key_0, Qt::ShiftModifier, QString());
    QCOMPARE(f.shown(), (QStringList{QString(), QStringLiteral("Ｂ")}));
    QCOMPARE(f.fake.clipboard.texts.mid(2), (QStringList{QString(), QStringLiteral("Ｂ")}));
}

void KeyGuideTest::japaneseInputKeysSwitchTheInputMethodOffAgain() {
    Fixture f;
    QVERIFY(showActive(f.form));
    QCOMPARE(f.fake.inputMethod.switchOffCount, 1);
    pressKey(f.form, Qt::Key_Zenkaku_Hankaku);
    QCOMPARE(f.shown(), (QStringList{QStringLiteral("半角/全角"), QStringLiteral("半角/全角")}));
    QCOMPARE(f.fake.inputMethod.switchOffCount, 2);
    pressKey(f.form, Qt::Key_Muhenkan);
    QCOMPARE(f.shown(), (QStringList{QStringLiteral("無変換"), QStringLiteral("無変換")}));
    QCOMPARE(f.fake.inputMethod.switchOffCount, 3);
    // Other Japanese keys are only named.
    pressKey(f.form, Qt::Key_Hiragana_Katakana);
    QCOMPARE(f.shown(), (QStringList{QStringLiteral("ｶﾀｶﾅ"), QStringLiteral("カタカナ")}));
    pressKey(f.form, Qt::Key_Henkan);
    QCOMPARE(f.fake.inputMethod.switchOffCount, 3);
    QVERIFY(!f.form.client()->testAttribute(Qt::WA_InputMethodEnabled));
}

void KeyGuideTest::menuKeysPostOnePairPerPress_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("virtualKey");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QList<Posted>>("pair");
    QTest::newRow("Alt") << int(Qt::Key_Alt) << 18
                         << QStringList{QStringLiteral("Alt"), QStringLiteral("オルト")}
                         << QList<Posted>{{27, D::Up, Qt::NoModifier},
                                          {18, D::Down, Qt::AltModifier}};
    QTest::newRow("F10") << int(Qt::Key_F10) << 121
                         << QStringList{QStringLiteral("Ｆ１０"), QStringLiteral("ﾌｧﾝｸｼｮﾝ10")}
                         << QList<Posted>{{121, D::Up, Qt::NoModifier},
                                          {121, D::Down, Qt::NoModifier}};
    QTest::newRow("Windows key") << int(Qt::Key_Meta) << 91
                                 << QStringList{QStringLiteral("Windowsｷｰ"),
                                                QStringLiteral("ｳｨﾝﾄﾞｰｽﾞｷｰ")}
                                 << QList<Posted>{{91, D::Up, Qt::NoModifier},
                                                  {91, D::Down, Qt::NoModifier}};
}

void KeyGuideTest::menuKeysPostOnePairPerPress() {
    QFETCH(int, key);
    QFETCH(QStringList, texts);
    QFETCH(QList<Posted>, pair);
    Fixture f;
    QVERIFY(showActive(f.form));
    pressKey(f.form, Qt::Key(key));
    QCOMPARE(f.shown(), texts);
    QCOMPARE(f.fake.keys.posted, pair);
    QVERIFY(!f.form.menuKeyToggle());
    // The posted key down comes back, is named again and sets the toggle back, posting
    // nothing more.
    QTRY_VERIFY(f.form.menuKeyToggle());
    f.deliverPostedKeys();
    QCOMPARE(f.fake.keys.posted, pair);
    QVERIFY(f.form.menuKeyToggle());
    QCOMPARE(f.fake.clipboard.texts, texts + texts);
    // The key down posted back is the same press: said once.
    QCOMPARE(f.fake.announcer.texts, QStringList{texts.join(QStringLiteral("、"))});

    pressKey(f.form, Qt::Key(key));
    QTRY_VERIFY(f.form.menuKeyToggle());
    f.deliverPostedKeys();
    QCOMPARE(f.fake.keys.posted, pair + pair);
    QCOMPARE(f.shown(), texts);
}

void KeyGuideTest::menuKeysWithShiftPostNothing() {
    Fixture f;
    QVERIFY(showActive(f.form));
    pressKey(f.form, Qt::Key_F10, Qt::ShiftModifier);
    pressKey(f.form, Qt::Key_Meta, Qt::ControlModifier);
    f.deliverPostedKeys();
    QVERIFY(f.fake.keys.posted.isEmpty());
    QVERIFY(f.form.menuKeyToggle());
}

void KeyGuideTest::theKeyAfterAnAltTapIsStillNamed() {
    Fixture f;
    QVERIFY(showActive(f.form));
    tapAlt(f.form);
    QTRY_VERIFY(f.form.menuKeyToggle());
    QCOMPARE(f.shown(), (QStringList{QStringLiteral("Alt"), QStringLiteral("オルト")}));
    // The menu bar has not taken the keyboard: the next key goes to the window.
    QCOMPARE(QApplication::focusWidget(), f.form.client());
    pressKey(f.form, Qt::Key_A);
    QCOMPARE(f.shown(), (QStringList{QStringLiteral("ａ"), QStringLiteral("Ａ")}));
    QCOMPARE(f.fake.keys.posted.size(), 2);
}

void KeyGuideTest::tabAndShiftTabAreNamedAndMoveNothing() {
    Fixture f;
    QVERIFY(showActive(f.form));
    pressKey(f.form, Qt::Key_Tab);
    QCOMPARE(f.shown(), (QStringList{QStringLiteral("Tab"), QStringLiteral("タブ")}));
    QCOMPARE(QApplication::focusWidget(), f.form.client());
    // Shift is named; Shift+Tab has no entry of its own and leaves it shown.
    QKeyEvent shift(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
    sendKeyEvent(f.form, shift);
    pressKey(f.form, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(f.shown(), (QStringList{QStringLiteral("Shift"), QStringLiteral("シフト")}));
    QCOMPARE(QApplication::focusWidget(), f.form.client());
    QCOMPARE(f.fake.clipboard.text(), QStringLiteral("シフト"));
}

void KeyGuideTest::escapeIsNamedAndDoesNotClose() {
    Fixture f;
    QVERIFY(showActive(f.form));
    pressKey(f.form, Qt::Key_Escape);
    QCOMPARE(f.shown(), (QStringList{QStringLiteral("Escape"), QStringLiteral("エスケープ")}));
    QVERIFY(f.form.isLoaded());
    QVERIFY(f.form.isVisible());
    QCOMPARE(f.fake.app.endCount, 0);
}

void KeyGuideTest::altF4ClosesTheWindow() {
    Fixture f;
    QVERIFY(showActive(f.form));
    pressKey(f.form, Qt::Key_F4);
    QCOMPARE(f.shown(), (QStringList{QStringLiteral("Ｆ４"), QStringLiteral("ﾌｧﾝｸｼｮﾝ4")}));
    QVERIFY(f.form.isLoaded());
    pressKey(f.form, Qt::Key_F4, Qt::ControlModifier);
    QVERIFY(f.form.isLoaded());
    pressKey(f.form, Qt::Key_F4, Qt::AltModifier);
    QVERIFY(!f.form.isLoaded());
    QVERIFY(!f.form.isVisible());
    QCOMPARE(f.fake.app.endCount, 0);
}

void KeyGuideTest::reopeningStartsAfresh() {
    Fixture f;
    f.fake.keys.deliver = false; // the toggle stays false after a press
    QVERIFY(showActive(f.form));
    pressKey(f.form, Qt::Key_Alt);
    pressKey(f.form, Qt::Key_Q);
    QVERIFY(!f.form.menuKeyToggle());
    f.form.unload();
    QVERIFY(showActive(f.form));
    QCOMPARE(f.shown(), (QStringList{QString(), QString()}));
    QVERIFY(f.form.menuKeyToggle());
    QCOMPARE(f.fake.inputMethod.switchOffCount, 2);
    QCOMPARE(f.label("Label2")->text(), QStringLiteral("Alt＋F4で終了"));
    pressKey(f.form, Qt::Key_W);
    QCOMPARE(f.shown(), (QStringList{QStringLiteral("ｗ"), QStringLiteral("Ｗ")}));
}

void KeyGuideTest::doubleClickOnTheKeyNameEndsTheProgram() {
    Fixture f;
    QVERIFY(showActive(f.form));
    pressKey(f.form, Qt::Key_A);
    QPointer<QLabel> key = f.lblKey();
    QTimer::singleShot(0, &f.form, [&] { QTest::mouseDClick(key, Qt::LeftButton); });
    QCOMPARE(execUntilExit(), 0);
    QCOMPARE(f.fake.app.endCount, 1);
    QVERIFY(!f.form.isLoaded());
}

void KeyGuideTest::keyNameIsShownWhole() {
    Fixture f;
    QVERIFY(showActive(f.form));
    QVERIFY(setInnerSize(f.form, {1000, 500}));
    QLabel* key = f.lblKey();
    const QRect layoutPlace(0, 50, 990, 20);
    for (const Qt::Key pressed : {Qt::Key_W, Qt::Key_Print, Qt::Key_Down, Qt::Key_PageDown}) {
        pressKey(f.form, pressed);
        const QFontMetrics metrics(key->font());
        QVERIFY2(key->height() >= metrics.boundingRect(key->text()).height(),
                 qPrintable(key->text()));
        QVERIFY(key->height() >= metrics.height());
        QVERIFY(key->height() >= key->sizeHint().height());
        // It grows below its top edge; its top, width and left stay where the layout put them.
        QCOMPARE(key->y(), layoutPlace.y());
        QCOMPARE(key->x(), layoutPlace.x());
        QCOMPARE(key->width(), layoutPlace.width());
        QVERIFY(key->height() > layoutPlace.height());
        // It never reaches the reading below it.
        QVERIFY(key->geometry().bottom() < f.lblYomi()->y());
    }
}

// At 96 dpi and an inner area of 1000×500 pixels the layout unit is 100 pixels down and
// 990 across.
void KeyGuideTest::layoutFollowsTheTable() {
    Fixture f;
    QVERIFY(showActive(f.form));
    QVERIFY(setInnerSize(f.form, {1000, 500}));
    QCOMPARE(f.lblYomi()->geometry(), QRect(0, 250, 990, 100));
    QCOMPARE(f.label("Label2")->geometry(), QRect(0, 400, 990, 100));
    // Resizing lays out again and keeps the key name whole.
    QVERIFY(setInnerSize(f.form, {500, 250}));
    QCOMPARE(f.lblYomi()->geometry(), QRect(0, 125, 495, 50));
    QVERIFY(f.lblKey()->height() >= QFontMetrics(f.lblKey()->font()).height());
    QCOMPARE(f.lblKey()->font().pointSizeF(), 129.75);
}

void KeyGuideTest::versionBoxFromTheMenu() {
    Fixture f;
    QVERIFY(showActive(f.form));
    auto* mnuVersion = f.form.findChild<QAction*>(QStringLiteral("mnuVersion"));
    QVERIFY(mnuVersion);
    QCOMPARE(mnuVersion->text(), QStringLiteral("バージョン"));
    QCOMPARE(f.form.formMenuBar()->actions().size(), 1);
    mnuVersion->trigger();
    QCOMPARE(f.fake.dialogs.messages.size(), 1);
    QCOMPARE(f.fake.dialogs.messages[0].title, QStringLiteral("バージョン情報"));
}

QTEST_MAIN(KeyGuideTest)
#include "tst_keyguide.moc"

// The shared window services: proportional layout arithmetic, the version box text, and the
// window base (unloading and reloading, key preview, input-method text, full-screen
// placement) driven through a small test window.

#include "FakePlatform.h"
#include "FormTest.h"
#include "TestForm.h"

#include "common/Layout.h"
#include "common/VersionBox.h"

#include <QApplication>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QTest>

using namespace tokotoko;
using namespace tokotoko::test;

class CommonTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void unitsAreTruncatedNotRounded_data();
    void unitsAreTruncatedNotRounded();
    void productsFollowTheWorkedExample();
    void wideScreensWidenTheUnitsInsteadOfOverflowing();
    void twipsBecomeWholePixels();
    void versionBoxTextHasFourLines();

    void reopeningBuildsFreshControlsAndKeepsState();
    void unloadingStopsTheTimerAndDiscardsControls();
    void keyPreviewRunsTheWindowHandlersFirst();
    void withoutKeyPreviewOnlyTheFocusedControlSeesKeys();
    void aSwallowedEnterNeverReachesTheTextBox();
    void unloadingInsideAKeyHandlerIsSafe();
    void inputMethodTextReachesTheWindowLikeTypedCharacters();
    void placementFillsTheScreenAndLayoutRuns();
    void minimizeAndRestoreKeepTheLayout();
    void closingAWindowActivatesTheOneActiveBeforeIt();
};

void CommonTest::unitsAreTruncatedNotRounded_data() {
    QTest::addColumn<double>("height");
    QTest::addColumn<double>("width");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("w");
    QTest::newRow("9600 x 7200") << 7200.0 << 9600.0 << 1440 << 9504;
    QTest::newRow("height 7204 truncates") << 7204.0 << 0.0 << 1440 << 0;
    QTest::newRow("width 101 truncates") << 0.0 << 101.0 << 0 << 99;
    QTest::newRow("minimized") << 0.0 << 0.0 << 0 << 0;
}

void CommonTest::unitsAreTruncatedNotRounded() {
    QFETCH(double, height);
    QFETCH(double, width);
    QFETCH(int, h);
    QFETCH(int, w);
    QCOMPARE(layoutUnits(height, width), (LayoutUnits{h, w}));
}

void CommonTest::productsFollowTheWorkedExample() {
    // txtYubiren at the entrance for an inner area of 9600 x 7200 twips.
    const LayoutUnits u = layoutUnits(7200, 9600);
    QCOMPARE(scaled(u.h, 0.8), 1152.0f);
    QCOMPARE(scaled(u.w, 0.4), 3801.6f);
    QCOMPARE(scaled(u.h, 1.8), 2592.0f);
    QCOMPARE(scaled(u.w, 0.05), 475.2f);
    QCOMPARE(multiple(u.h, 4), 5760);
}

void CommonTest::wideScreensWidenTheUnitsInsteadOfOverflowing() {
    // 3840 x 2160 pixels at 15 twips per pixel: beyond 16-bit units.
    const LayoutUnits u = layoutUnits(2160 * 15.0, 3840 * 15.0);
    QCOMPARE(u.w, 57024);
    QCOMPARE(u.h, 6480);
    QCOMPARE(scaled(u.w, 0.55), 31363.2f);
    QCOMPARE(multiple(u.h, 5), 32400);
    // A very tall window: the whole-number product passes 32767 without wrapping.
    QCOMPARE(multiple(layoutUnits(200000, 100).h, 4), 160000);
}

void CommonTest::twipsBecomeWholePixels() {
    const QRect rect = toPixels(TwipsRect{1152.0f, 3801.6f, 2592.0f, 475.2f}, 15.0);
    QCOMPARE(rect, QRect(32, 173, 253, 77));
    QCOMPARE(toPixels(TwipsRect{0, 0, 0, 0}, 15.0), QRect(0, 0, 0, 0));
}

void CommonTest::versionBoxTextHasFourLines() {
    const QStringList lines =
        tokotoko::versionBoxText(QStringLiteral("3.0.0.0")).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines[0], QStringLiteral("とことこ"));
    QCOMPARE(lines[1], QString());
    QCOMPARE(lines[2], QStringLiteral("バージョン3.0"));
    QVERIFY(!lines[3].isEmpty());
    QCOMPARE(tokotoko::versionBoxText(QStringLiteral("12.34.5.6")).split(QStringLiteral("\r\n"))[2],
             QStringLiteral("バージョン12.34"));
}

void CommonTest::reopeningBuildsFreshControlsAndKeepsState() {
    FakePlatform fake;
    TestForm form(fake);
    QVERIFY(showActive(form));
    QCOMPARE(form.loads, 1);
    form.lblCaption->setText(QStringLiteral("changed"));
    form.stateCounter = 41;
    QPointer<QLabel> oldLabel = form.lblCaption;

    form.unload();
    QVERIFY(!form.isLoaded());
    QVERIFY(!form.isVisible());
    QTRY_VERIFY(oldLabel.isNull());

    QVERIFY(showActive(form));
    QCOMPARE(form.loads, 2);
    QCOMPARE(form.lblCaption->text(), QStringLiteral("initial"));
    QCOMPARE(form.stateCounter, 41);
    // Opening an open window only brings it forward.
    form.showForm();
    QCOMPARE(form.loads, 2);
}

void CommonTest::unloadingStopsTheTimerAndDiscardsControls() {
    FakePlatform fake;
    TestForm form(fake);
    QVERIFY(showActive(form));
    QVERIFY(form.Timer1->isActive());
    QPointer<QTimer> timer = form.Timer1;
    QPointer<QMenuBar> menu = form.formMenuBar();
    form.close(); // the window system's close command unloads like unload()
    QVERIFY(!form.isLoaded());
    QVERIFY(timer && !timer->isActive());
    QTRY_VERIFY(timer.isNull() && menu.isNull());
}

void CommonTest::keyPreviewRunsTheWindowHandlersFirst() {
    FakePlatform fake;
    TestForm form(fake);
    QVERIFY(showActive(form));
    form.txtInput->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), form.txtInput);
    pressKey(form, Qt::Key_A);
    QCOMPARE(form.events,
             (QStringList{QStringLiteral("form down 65/0"), QStringLiteral("txtInput down 65"),
                          QStringLiteral("form press 97"), QStringLiteral("txtInput press 97")}));
    QCOMPARE(form.txtInput->text(), QStringLiteral("a"));
}

void CommonTest::withoutKeyPreviewOnlyTheFocusedControlSeesKeys() {
    FakePlatform fake;
    TestForm form(fake);
    form.keyPreviewWanted = false;
    QVERIFY(showActive(form));
    form.txtInput->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), form.txtInput);
    pressKey(form, Qt::Key_B, Qt::ShiftModifier);
    QCOMPARE(form.events, (QStringList{QStringLiteral("txtInput down 66"),
                                       QStringLiteral("txtInput press 66")}));
    // With no control focused the window gets every key, preview or not.
    form.events.clear();
    form.client()->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), form.client());
    pressKey(form, Qt::Key_Tab);
    QCOMPARE(form.events,
             (QStringList{QStringLiteral("form down 9/0"), QStringLiteral("form press 9")}));
    QCOMPARE(QApplication::focusWidget(), form.client()); // Tab moved nothing
}

void CommonTest::aSwallowedEnterNeverReachesTheTextBox() {
    FakePlatform fake;
    TestForm form(fake);
    QVERIFY(showActive(form));
    form.txtInput->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), form.txtInput);
    bool returnPressed = false;
    connect(form.txtInput, &QLineEdit::returnPressed, this, [&] { returnPressed = true; });
    typeText(form, QStringLiteral("ab"));
    pressKey(form, Qt::Key_Return);
    QVERIFY(!returnPressed);
    QCOMPARE(form.txtInput->text(), QStringLiteral("ab"));
    QVERIFY(!form.events.contains(QStringLiteral("txtInput press 13")));
}

void CommonTest::unloadingInsideAKeyHandlerIsSafe() {
    FakePlatform fake;
    TestForm form(fake);
    QVERIFY(showActive(form));
    form.txtInput->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), form.txtInput);
    pressKey(form, Qt::Key_Escape);
    QVERIFY(!form.isLoaded());
    // The Escape character is not handed on after the window has gone.
    QCOMPARE(form.events, QStringList{QStringLiteral("form down 27/0")});
    QTest::qWait(0);
    QVERIFY(showActive(form));
    QCOMPARE(form.loads, 2);
}

void CommonTest::inputMethodTextReachesTheWindowLikeTypedCharacters() {
    FakePlatform fake;
    TestForm form(fake);
    QVERIFY(showActive(form));
    form.client()->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), form.client());
    commitText(form, QStringLiteral("１@"));
    QCOMPARE(form.events,
             (QStringList{QStringLiteral("form press 65297"), QStringLiteral("form press 64")}));
}

void CommonTest::placementFillsTheScreenAndLayoutRuns() {
    FakePlatform fake;
    TestForm form(fake);
    QVERIFY(showActive(form));
    const QRect screen = form.screen()->geometry();
    QTRY_COMPARE(form.frameGeometry(), screen);
    QVERIFY(!form.isMaximized());
    QVERIFY(form.resizes >= 1);
    // The text box is one row unit high and starts two rows down.
    const double tpp = twipsPerPixel(form);
    const LayoutUnits u = layoutUnits(form.client()->height() * tpp, form.client()->width() * tpp);
    QCOMPARE(form.txtInput->geometry(),
             toPixels(TwipsRect{float(u.h), float(u.w), float(2 * u.h), scaled(u.w, 0.05)}, tpp));
}

void CommonTest::minimizeAndRestoreKeepTheLayout() {
    FakePlatform fake;
    TestForm form(fake);
    QVERIFY(showActive(form));
    const QRect before = form.txtInput->geometry();
    form.showMinimized();
    QTest::qWait(10);
    form.showNormal();
    QTRY_VERIFY(form.isVisible() && !form.isMinimized());
    QCOMPARE(form.txtInput->geometry(), before);
}

void CommonTest::closingAWindowActivatesTheOneActiveBeforeIt() {
    FakePlatform fake;
    TestForm entrance(fake);
    TestForm first(fake);
    TestForm second(fake);
    QVERIFY(showActive(entrance));
    QVERIFY(showActive(first));
    QVERIFY(showActive(second));
    second.unload();
    QVERIFY(QTest::qWaitForWindowActive(&first));
    first.unload();
    QVERIFY(QTest::qWaitForWindowActive(&entrance));
}

QTEST_MAIN(CommonTest)
#include "tst_common.moc"

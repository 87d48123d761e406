// The finger guide drill driven with real key events on the fake platform.

#include "DrillTest.h"
#include "FakePlatform.h"
#include "FormTest.h"

#include "fingers/FingerTable.h"
#include "fingers/frmYubiren.h"

#include <QAccessible>
#include <QTest>

using namespace tokotoko;
using namespace tokotoko::test;

namespace {

const QString kDing = QStringLiteral("\\ding.wav");

struct Drill {
    FakePlatform fake;
    frmYubiren form{fake};

    QString key() { return caption(form, "lblKey"); }
    QString finger() { return caption(form, "lblYubiHyoji"); }
    QString reading() { return caption(form, "lblYubi"); }
};

} // namespace

class YubirenTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void opensOnFWithItsReadingOnTheClipboard();
    void labelsAreReachableByScreenReaders();
    void walkingTheWholeCycleWrapsBackToF();
    void judging_data();
    void judging();
    void everyMissCuesAndCopiesTheAskedKeyAgain();
    void keysWithoutACharacterAreNotJudged();
    void inputMethodTextIsJudgedCharacterByCharacter();
    void hidingTheReadingLeavesTheFingerAndTheClipboard();
    void reopeningAfterHidingShowsTheReadingAndStartsAtF();
    void escapeAndTheEndMenuClose();
};

void YubirenTest::opensOnFWithItsReadingOnTheClipboard() {
    Drill d;
    QVERIFY(showActive(d.form));
    QCOMPARE(d.form.windowTitle(), QStringLiteral("どのゆびつかうの"));
    QCOMPARE(d.key(), QStringLiteral("F"));
    QCOMPARE(d.finger(), QStringLiteral("ひだり　人さし指"));
    QCOMPARE(d.reading(), QStringLiteral("ひだりひとさしゆびえふ"));
    QCOMPARE(d.fake.clipboard.texts, QStringList{QStringLiteral("ひだりひとさしゆびえふ")});
    // A screen reader hears it too, once the window is shown.
    QTRY_COMPARE(d.fake.announcer.texts, d.fake.clipboard.texts);
    QVERIFY(shown(d.form, "lblYubi"));
    QCOMPARE(d.fake.sound.prepared, QStringList{kDing});
    QVERIFY(d.fake.sound.played.isEmpty());
}

void YubirenTest::labelsAreReachableByScreenReaders() {
    Drill d;
    QVERIFY(showActive(d.form));
    typeText(d.form, QStringLiteral("f"));
    for (const char* name : {"lblKey", "lblYubiHyoji", "lblYubi"}) {
        QLabel* l = label(d.form, name);
        QVERIFY2(!l->accessibleName().isEmpty(), name);
        // The caption stays within reach of a screen reader as it changes.
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(l);
        QVERIFY(accessible);
        QCOMPARE(accessible->text(QAccessible::Description), l->text());
    }
    QCOMPARE(caption(d.form, "lblKey"), QStringLiteral("R"));
    // No control takes the focus: the keys go to the window itself.
    QVERIFY(!d.form.focusWidget() || d.form.focusWidget() == d.form.client());
}

void YubirenTest::walkingTheWholeCycleWrapsBackToF() {
    Drill d;
    QVERIFY(showActive(d.form));
    const QString keys = QStringLiteral("frvgtbjumhynDECKI,swxlo.aqz;p/");
    for (int i = 0; i < keys.size(); ++i) {
        typeText(d.form, keys.mid(i, 1));
        const fingers::GuideEntry next = fingers::guideEntry(i + 2 > 30 ? 1 : i + 2);
        QCOMPARE(d.key(), next.key);
        QCOMPARE(d.fake.clipboard.text(), next.reading);
    }
    QCOMPARE(d.fake.clipboard.texts.at(17), QStringLiteral("みぎなかゆびｶﾝﾏ"));
    QCOMPARE(d.key(), QStringLiteral("F"));
    QCOMPARE(d.finger(), QStringLiteral("ひだり　人さし指"));
    QCOMPARE(d.fake.clipboard.text(), QStringLiteral("ひだりひとさしゆびえふ"));
    QCOMPARE(d.fake.clipboard.texts.size(), 31);
    QVERIFY(d.fake.sound.played.isEmpty());
    typeText(d.form, QStringLiteral("f"));
    QCOMPARE(d.key(), QStringLiteral("R"));
}

void YubirenTest::judging_data() {
    QTest::addColumn<QString>("before"); // typed first, as hits
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("hit");
    QTest::newRow("f on F") << "" << int(Qt::Key_F) << "f" << true;
    QTest::newRow("F on F") << "" << int(Qt::Key_F) << "F" << true;
    QTest::newRow("f on R") << "f" << int(Qt::Key_F) << "f" << false;
    QTest::newRow("r on R") << "f" << int(Qt::Key_R) << "r" << true;
    QTest::newRow("space") << "" << int(Qt::Key_Space) << " " << false;
    QTest::newRow("enter") << "" << int(Qt::Key_Return) << "\r" << false;
    QTest::newRow("backspace") << "" << int(Qt::Key_Backspace) << "\b" << false;
    QTest::newRow("shifted comma on ,") << "frvgtbjumhyndecki" << int(Qt::Key_Less) << "<" << false;
    QTest::newRow(", on ,") << "frvgtbjumhyndecki" << int(Qt::Key_Comma) << "," << true;
}

void YubirenTest::judging() {
    QFETCH(QString, before);
    QFETCH(int, key);
    QFETCH(QString, text);
    QFETCH(bool, hit);
    Drill d;
    QVERIFY(showActive(d.form));
    typeText(d.form, before);
    const QString asked = d.key();
    const int copies = d.fake.clipboard.texts.size();
    d.fake.announcer.texts.clear();
    pressKey(d.form, Qt::Key(key), Qt::NoModifier, text);
    QCOMPARE(d.fake.clipboard.texts.size(), copies + 1);
    // Said once, after the key: the next key asked (with its finger), or the same key again.
    QCOMPARE(d.fake.announcer.texts, QStringList{d.fake.clipboard.text()});
    if (hit) {
        QVERIFY(d.key() != asked || asked == QStringLiteral("/"));
        QCOMPARE(d.fake.clipboard.text(), d.reading());
        QVERIFY(d.fake.sound.played.isEmpty());
    } else {
        QCOMPARE(d.key(), asked);
        QCOMPARE(d.fake.clipboard.text(), asked);
        QCOMPARE(d.fake.sound.played, QStringList{kDing});
    }
}

void YubirenTest::everyMissCuesAndCopiesTheAskedKeyAgain() {
    Drill d;
    QVERIFY(showActive(d.form));
    typeText(d.form, QStringLiteral("frvgtbjumhyndecki")); // "," is asked
    typeText(d.form, QStringLiteral("xyz"));
    QCOMPARE(d.key(), QStringLiteral(","));
    QCOMPARE(d.fake.clipboard.texts.mid(d.fake.clipboard.texts.size() - 4),
             (QStringList{QStringLiteral("みぎなかゆびｶﾝﾏ"), QStringLiteral(","),
                          QStringLiteral(","), QStringLiteral(",")}));
    QCOMPARE(d.fake.sound.played, (QStringList{kDing, kDing, kDing}));
    QCOMPARE(caption(d.form, "Label1"), QStringLiteral("Z"));
}

void YubirenTest::keysWithoutACharacterAreNotJudged() {
    Drill d;
    QVERIFY(showActive(d.form));
    for (const Qt::Key key : {Qt::Key_Shift, Qt::Key_F1, Qt::Key_Left, Qt::Key_Control})
        pressKey(d.form, key, Qt::NoModifier, QString());
    QCOMPARE(d.fake.clipboard.texts.size(), 1);
    QVERIFY(d.fake.sound.played.isEmpty());
    QVERIFY(d.form.isLoaded());
}

void YubirenTest::inputMethodTextIsJudgedCharacterByCharacter() {
    Drill d;
    QVERIFY(showActive(d.form));
    commitText(d.form, QStringLiteral("frv"));
    QCOMPARE(d.key(), QStringLiteral("G"));
    QVERIFY(d.fake.sound.played.isEmpty());
    // A full-width letter is not the key asked.
    commitText(d.form, QStringLiteral("ｇ"));
    QCOMPARE(d.key(), QStringLiteral("G"));
    QCOMPARE(d.fake.clipboard.text(), QStringLiteral("G"));
    QCOMPARE(d.fake.sound.played, QStringList{kDing});
}

void YubirenTest::hidingTheReadingLeavesTheFingerAndTheClipboard() {
    Drill d;
    QVERIFY(showActive(d.form));
    QCOMPARE(action(d.form, "mnuHintoNashi")->text(), QStringLiteral("指の名前なし(&N)"));
    QCOMPARE(action(d.form, "mnuHintoAri")->text(), QStringLiteral("指の名前あり(&A)"));
    QVERIFY(!action(d.form, "mnuHintoNashi")->isCheckable());
    action(d.form, "mnuHintoNashi")->trigger();
    QVERIFY(!shown(d.form, "lblYubi"));
    QVERIFY(shown(d.form, "lblYubiHyoji"));
    typeText(d.form, QStringLiteral("fr"));
    QCOMPARE(d.key(), QStringLiteral("V"));
    QCOMPARE(d.finger(), QStringLiteral("ひだり　人さし指"));
    QCOMPARE(d.fake.clipboard.text(), QStringLiteral("ひだりひとさしゆびぶい"));
    QVERIFY(!shown(d.form, "lblYubi"));
    action(d.form, "mnuHintoAri")->trigger();
    QVERIFY(shown(d.form, "lblYubi"));
}

void YubirenTest::reopeningAfterHidingShowsTheReadingAndStartsAtF() {
    Drill d;
    QVERIFY(showActive(d.form));
    typeText(d.form, QStringLiteral("frv"));
    action(d.form, "mnuHintoNashi")->trigger();
    d.form.unload();
    QVERIFY(!d.form.isLoaded());
    QVERIFY(showActive(d.form));
    QVERIFY(shown(d.form, "lblYubi"));
    QCOMPARE(d.key(), QStringLiteral("F"));
    QCOMPARE(d.fake.clipboard.text(), QStringLiteral("ひだりひとさしゆびえふ"));
    typeText(d.form, QStringLiteral("f"));
    QCOMPARE(d.key(), QStringLiteral("R"));
}

void YubirenTest::escapeAndTheEndMenuClose() {
    Drill d;
    QVERIFY(showActive(d.form));
    pressKey(d.form, Qt::Key_Escape);
    QVERIFY(!d.form.isLoaded());
    QVERIFY(!d.form.isVisible());
    QVERIFY(d.fake.sound.played.isEmpty()); // Escape's character is never judged

    QVERIFY(showActive(d.form));
    QAction* mnuEnd = action(d.form, "mnuEnd");
    QVERIFY(mnuEnd);
    QCOMPARE(mnuEnd->text(), QStringLiteral("終了(&X or Escape)"));
    mnuEnd->trigger();
    QVERIFY(!d.form.isLoaded());

    QVERIFY(showActive(d.form));
    QCOMPARE(action(d.form, "mnuVersion")->text(), QStringLiteral("バージョン(&V)"));
    action(d.form, "mnuVersion")->trigger();
    QCOMPARE(d.fake.dialogs.messages.size(), 1);
    QVERIFY(d.form.isLoaded());
}

QTEST_MAIN(YubirenTest)
#include "tst_yubiren.moc"

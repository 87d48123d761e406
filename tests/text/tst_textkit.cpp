// What the Japanese and English text windows do differently, whatever their exercise.

#include "FakePlatform.h"

#include "platform/InputBox.h"
#include "text/TextWindowKit.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

using namespace tokotoko;
using namespace tokotoko::test;

class TextKitTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void japanesePresentsOnTheClipboard();
    void englishSpeaksThroughAVoiceMadeAtEachLoad();
    void englishStaysSilentWithoutSpeech();
    void displayBoxGivesBackExactlyItsText();
    void inputBoxesTakeTheLanguagesInputMode();
    void fileMenusDifferOnlyInCaptionsAndSeparator();
};

void TextKitTest::japanesePresentsOnTheClipboard() {
    FakePlatform fake;
    TextPresenter presenter(fake, TextLanguage::Japanese);
    presenter.createVoice();
    QVERIFY(!presenter.hasVoice());
    presenter.present(QStringLiteral("今日は晴れ"));
    QCOMPARE(fake.clipboard.texts, QStringList{QStringLiteral("今日は晴れ")});
    QVERIFY(fake.speech.spoken.isEmpty());
    QCOMPARE(fake.speech.voicesCreated, 0);
}

void TextKitTest::englishSpeaksThroughAVoiceMadeAtEachLoad() {
    FakePlatform fake;
    TextPresenter presenter(fake, TextLanguage::English);
    presenter.present(QStringLiteral("before any load")); // no voice yet: silence
    presenter.createVoice();
    presenter.present(QStringLiteral("one"));
    presenter.present(QStringLiteral("one"));
    presenter.releaseVoice();
    presenter.present(QStringLiteral("after unloading"));
    presenter.createVoice();
    presenter.present(QStringLiteral("two"));
    QCOMPARE(fake.speech.spoken,
             (QStringList{QStringLiteral("one"), QStringLiteral("one"), QStringLiteral("two")}));
    QCOMPARE(fake.speech.voicesCreated, 2);
    QCOMPARE(fake.speech.volumes, (QList<int>{100, 100}));
    QVERIFY(fake.clipboard.texts.isEmpty());
}

void TextKitTest::englishStaysSilentWithoutSpeech() {
    FakePlatform fake;
    fake.speech.available = false;
    TextPresenter presenter(fake, TextLanguage::English);
    presenter.createVoice();
    QVERIFY(!presenter.hasVoice());
    presenter.present(QStringLiteral("nobody hears this"));
    QVERIFY(fake.speech.spoken.isEmpty());
    QVERIFY(fake.clipboard.texts.isEmpty());
}

void TextKitTest::displayBoxGivesBackExactlyItsText() {
    DisplayBox box(nullptr);
    const QString line = QStringLiteral("　全角スペース\tと CR LF\r\nまで");
    box.setText(line);
    QCOMPARE(box.text(), line);
    QVERIFY(box.isReadOnly());
    QCOMPARE(box.focusPolicy(), Qt::NoFocus);
}

void TextKitTest::inputBoxesTakeTheLanguagesInputMode() {
    FakePlatform fake;
    QWidget parent;
    InputBox* japanese = makeInputBox(fake, TextLanguage::Japanese, &parent);
    InputBox* english = makeInputBox(fake, TextLanguage::English, &parent);
    QVERIFY(japanese->compositionAllowed());
    QVERIFY(!english->compositionAllowed());
    QCOMPARE(english->inputMethodQuery(Qt::ImEnabled).toBool(), false);
    QCOMPARE(fake.inputMethod.hiraganaBoxes.size(), 1);
    QCOMPARE(fake.inputMethod.hiraganaBoxes[0].data(), japanese);
    QCOMPARE(fake.inputMethod.alphanumericBoxes[0].data(), english);
}

void TextKitTest::fileMenusDifferOnlyInCaptionsAndSeparator() {
    QMenuBar japaneseBar;
    const FileMenu japanese = addFileMenu(&japaneseBar, textLanguageTraits(TextLanguage::Japanese));
    addVersionItem(&japaneseBar, textLanguageTraits(TextLanguage::Japanese));
    QMenuBar englishBar;
    const FileMenu english = addFileMenu(&englishBar, textLanguageTraits(TextLanguage::English));
    addVersionItem(&englishBar, textLanguageTraits(TextLanguage::English));

    QCOMPARE(japanese.mnuFile->actions().size(), 4);
    QVERIFY(japanese.mnuFile->actions()[2]->isSeparator());
    QCOMPARE(english.mnuFile->actions().size(), 3);
    QVERIFY(!english.mnuSeparator);
    QCOMPARE(japanese.mnuFileOpen->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    QCOMPARE(english.mnuFileOpen->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    QCOMPARE(englishBar.actions().last()->text(), QStringLiteral("About(&A)"));
    QCOMPARE(japaneseBar.actions().last()->text(), QStringLiteral("バージョン(&V)"));
}

QTEST_MAIN(TextKitTest)
#include "tst_textkit.moc"

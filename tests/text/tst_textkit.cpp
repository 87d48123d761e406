// What the Japanese and English text windows do differently, whatever their exercise.

#include "FakePlatform.h"

#include "drawing/InputBox.h"
#include "text/TextWindowKit.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

using namespace tokotoko;
using namespace tokotoko::test;

namespace {

// Counts the queued calls a widget gets; past ten thousand in all it swallows them, so that a
// layout going round for ever ends and the test fails instead of hanging.
class QueuedCallCount final : public QObject {
public:
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::MetaCall)
            return false;
        ++count;
        return ++m_total > 10000;
    }

private:
    int m_total = 0;
};

} // namespace

class TextKitTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void japanesePresentsOnTheClipboard();
    void englishSpeaksThroughAVoiceMadeAtEachLoad();
    void englishStaysSilentWithoutSpeech();
    void displayBoxGivesBackExactlyItsText();
    void narrowDisplayBoxSettles();
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

// A storm resized a text window to 4 pixels wide while its display box showed a line. The
// box's layout then went round for ever: with the vertical scroll bar the line had no room and
// no rows, without it a row, so the bar came back... every turn posting the next, the program
// busy for good and its event queue growing without end.
void TextKitTest::narrowDisplayBoxSettles() {
    QWidget window;
    auto* box = new DisplayBox(&window);
    box->setFont(QFont(QStringLiteral("IPAPGothic"), 80));
    box->setText(QStringLiteral("line 1"));
    window.resize(800, 800);
    window.show();
    QueuedCallCount calls;
    box->installEventFilter(&calls);
    for (const int width : {1, 4, 13}) {
        for (const int height : {548, 800}) {
            box->setGeometry(0, 0, width, height);
            for (int i = 0; i < 5; ++i)
                QCoreApplication::processEvents();
            // Settled: nothing more to lay out.
            calls.count = 0;
            for (int i = 0; i < 5; ++i)
                QCoreApplication::processEvents();
            QVERIFY2(calls.count == 0, qPrintable(QStringLiteral("%1 more queued calls at %2x%3")
                                                      .arg(calls.count)
                                                      .arg(width)
                                                      .arg(height)));
        }
    }
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

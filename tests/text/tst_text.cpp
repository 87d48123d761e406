// The practice text: decoding code page 932 and UTF-8, splitting lines, the limits of what can
// be practised on, the shipped texts, and the open command on the fake platform.

#include "FakePlatform.h"
#include "FormTest.h"

#include "text/PracticeText.h"
#include "text/PracticeTextReader.h"
#include "text/TextCommands.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

using namespace tokotoko;
using namespace tokotoko::test;

namespace {

QByteArray crlfLines(int count) {
    QByteArray bytes;
    for (int i = 1; i <= count; ++i)
        bytes += "line " + QByteArray::number(i) + "\r\n";
    return bytes;
}

// A text window's share of the open command: its store, its dialog among its controls, and
// what the window-specific steps did.
struct TextWindow {
    explicit TextWindow(FakePlatform& fake, bool linePractice)
        : fake(fake) {
        hooks.clearDisplay = [this] { ++displayClears; };
        if (linePractice)
            hooks.restartLines = [this] { ++restarts; };
        reload();
    }
    // Closing and opening the window again: new controls, a new dialog; the store stays.
    void reload() {
        controls = std::make_unique<QWidget>();
        dialog = new OpenFileDialog(fake.platform(), controls.get());
    }
    bool open(const QString& chosen) {
        fake.dialogs.openResults.push_back(chosen);
        return runOpenCommand(fake.platform(), *dialog, text, hooks);
    }
    bool cancel() { return runOpenCommand(fake.platform(), *dialog, text, hooks); }

    FakePlatform& fake;
    PracticeText text;
    OpenCommandHooks hooks;
    std::unique_ptr<QWidget> controls;
    OpenFileDialog* dialog = nullptr;
    int displayClears = 0;
    int restarts = 0;
};

void compareStores(const PracticeText& actual, const PracticeText& expected) {
    QCOMPARE(actual.textFileName, expected.textFileName);
    QCOMPARE(actual.linesRead, expected.linesRead);
    QCOMPARE(actual.lastLineIndex, expected.lastLineIndex);
    QCOMPARE(actual.linePosition, expected.linePosition);
    for (int i = 0; i < PracticeText::slotCount; ++i)
        QCOMPARE(actual.lineSlots[i], expected.lineSlots[i]);
}

} // namespace

class TextTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void theDecoderIsIcusCp932();
    void cp932DecodesAsWindowsDoes_data();
    void cp932DecodesAsWindowsDoes();
    void eachBadSequenceBecomesOneReplacement_data();
    void eachBadSequenceBecomesOneReplacement();
    void linesEndAtCrLfLfOrCr_data();
    void linesEndAtCrLfLfOrCr();
    void utf8IsRecognised_data();
    void utf8IsRecognised();
    void moreThan101LinesAreCut_data();
    void moreThan101LinesAreCut();
    void filesWithoutPracticeTextAreRefused_data();
    void filesWithoutPracticeTextAreRefused();
    void unreadableCharactersAreNamedByLine();
    void filesAreCheckedBeforeReading_data();
    void filesAreCheckedBeforeReading();
    void shippedTextsAreCrLfInTheirEncodings();

    void openingStoresTheText_data();
    void openingStoresTheText();
    void cancelWithNothingChosenChangesNothing();
    void cancelAfterAChoiceReadsThatFileAgain();
    void cancelInAReopenedWindowLeavesNoText();
    void aRefusedFileLeavesTheStoreAsItWas_data();
    void aRefusedFileLeavesTheStoreAsItWas();
    void aRefusedFirstFileLeavesNoText();
    void aLongFileIsCutWithAWarning();
    void aFailingEditorIsPassedOverSilently();
    void theShippedFolderIsTheFirstThatHasTexts();
};

void TextTest::theDecoderIsIcusCp932() {
    QVERIFY(cp932DecoderAvailable());
    // Qt has no Shift_JIS of its own: a valid decoder for this name is ICU's.
    QStringDecoder icu("windows-31j", QStringDecoder::Flag::Stateless);
    QVERIFY(icu.isValid());
    QCOMPARE(icu.decode(QByteArray("\x87\x40\xED\x40\xFA\x40")), QStringLiteral("①纊ⅰ"));
}

void TextTest::cp932DecodesAsWindowsDoes_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("5C backslash, not yen") << QByteArray("\x5C") << QStringLiteral("\u005C");
    QTest::newRow("7E tilde, not overline") << QByteArray("\x7E") << QStringLiteral("\u007E");
    QTest::newRow("81 60 full-width tilde") << QByteArray("\x81\x60") << QStringLiteral("\uFF5E");
    QTest::newRow("81 5F full-width backslash")
        << QByteArray("\x81\x5F") << QStringLiteral("\uFF3C");
    QTest::newRow("81 7C full-width minus") << QByteArray("\x81\x7C") << QStringLiteral("\uFF0D");
    QTest::newRow("87 40 NEC circled one") << QByteArray("\x87\x40") << QStringLiteral("\u2460");
    QTest::newRow("ED 40 NEC selected IBM") << QByteArray("\xED\x40") << QStringLiteral("\u7E8A");
    QTest::newRow("FA 40 IBM small roman one")
        << QByteArray("\xFA\x40") << QStringLiteral("\u2170");
    QTest::newRow("B1 half-width katakana a") << QByteArray("\xB1") << QStringLiteral("\uFF71");
    // ICU alone gives other control characters for these three bytes.
    QTest::newRow("1A 1C 7F stay themselves")
        << QByteArray("x\x1Ay\x1Cz\x7F") << QStringLiteral("x\u001Ay\u001Cz\u007F");
    QTest::newRow("83 80 and 81 FC: trail bytes at the ends of their range")
        << QByteArray("\x83\x80\x81\xFC") << QStringLiteral("ム◯");
    QTest::newRow("5C as a trail byte") << QByteArray("\x83\x5C\x95\x5C") << QStringLiteral("ソ表");
    QTest::newRow("mixed sentence") << QByteArray("ABC\x82\xA0\x83\x41\x8A\xBF\x8E\x9A\xB1\x81\x42")
                                    << QStringLiteral("ABCあア漢字ｱ。");
}

void TextTest::cp932DecodesAsWindowsDoes() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    const DecodedText decoded = decodeCp932(bytes);
    QCOMPARE(decoded.text, text);
    QCOMPARE(decoded.invalidSequences, 0);
    const PracticeTextReading reading = readPracticeText(bytes);
    QCOMPARE(reading.encoding, TextEncoding::Cp932);
    QCOMPARE(reading.lines, QStringList{text});
}

void TextTest::eachBadSequenceBecomesOneReplacement_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("invalid");
    const QString bad(QChar(0xFFFD));
    QTest::newRow("cp932 lead byte before a space keeps the space")
        << QByteArray("a\x81 b") << QStringList{"a" + bad + " b"} << 1;
    QTest::newRow("cp932 lone lead byte at the end")
        << QByteArray("ab\x81") << QStringList{"ab" + bad} << 1;
    QTest::newRow("cp932 lead byte before CR LF")
        << QByteArray("a\x81\r\nb") << QStringList{"a" + bad, "b"} << 1;
    QTest::newRow("cp932 pair without a character")
        << QByteArray("\x85\x40\x82\xA0") << QStringList{bad + "あ"} << 1;
    QTest::newRow("cp932 single bytes 80 A0 FD FE FF")
        << QByteArray("\x80\xA0\xFD\xFE\xFF") << QStringList{bad + bad + bad + bad + bad} << 5;
    QTest::newRow("utf-8 truncated character after a BOM")
        << QByteArray("\xEF\xBB\xBF\xE3\x81z") << QStringList{bad + "z"} << 1;
    QTest::newRow("utf-8 overlong slash after a BOM")
        << QByteArray("\xEF\xBB\xBF\xC0\xAF") << QStringList{bad + bad} << 2;
    QTest::newRow("utf-8 surrogate after a BOM")
        << QByteArray("\xEF\xBB\xBF\xED\xA0\x80") << QStringList{bad + bad + bad} << 3;
    QTest::newRow("utf-8 cut at the end after a BOM")
        << QByteArray("\xEF\xBB\xBF\xE3\x81\x82\xF0\x9F\x98") << QStringList{"あ" + bad} << 1;
}

void TextTest::eachBadSequenceBecomesOneReplacement() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QFETCH(int, invalid);
    const PracticeTextReading reading = readPracticeText(bytes);
    QVERIFY(!reading.isRefused());
    QCOMPARE(reading.lines, lines);
    QCOMPARE(reading.invalidSequences, invalid);
    QVERIFY(!reading.message.isEmpty());
}

void TextTest::linesEndAtCrLfLfOrCr_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("CR LF with a final CR LF") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
    QTest::newRow("CR LF, last line without one") << QByteArray("a\r\nb") << QStringList{"a", "b"};
    QTest::newRow("lone LF") << QByteArray("a\nb\n") << QStringList{"a", "b"};
    QTest::newRow("lone CR") << QByteArray("a\rb\r") << QStringList{"a", "b"};
    QTest::newRow("blank lines kept")
        << QByteArray("a\r\n\r\n\r\nb") << QStringList{"a", "", "", "b"};
    QTest::newRow("only a line end") << QByteArray("\r\n") << QStringList{""};
    QTest::newRow("LF then CR is two ends") << QByteArray("a\n\rb") << QStringList{"a", "", "b"};
    QTest::newRow("CR then CR LF is two ends") << QByteArray("a\r\r\n") << QStringList{"a", ""};
    QTest::newRow("nothing trimmed") << QByteArray(" \t\x81\x40x\x81\x40 \r\n ")
                                     << QStringList{QStringLiteral(" \t　x　 "), " "};
    QTest::newRow("cp932 lines") << QByteArray("\x95\x5C\r\n\x83\x5C\r\n")
                                 << QStringList{QStringLiteral("表"), QStringLiteral("ソ")};
    QTest::newRow("utf-8 lines with lone LF")
        << QByteArray("\xE8\xA1\xA8\n\xE3\x82\xBD")
        << QStringList{QStringLiteral("表"), QStringLiteral("ソ")};
    QTest::newRow("old end-of-file mark dropped")
        << QByteArray("a\r\nb\r\n\x1A") << QStringList{"a", "b"};
    QTest::newRow("1A inside a line kept") << QByteArray("a\x1A b") << QStringList{"a\x1A b"};
}

void TextTest::linesEndAtCrLfLfOrCr() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    const PracticeTextReading reading = readPracticeText(bytes);
    QCOMPARE(reading.refusal, TextRefusal::None);
    QCOMPARE(reading.lines, lines);
    QCOMPARE(reading.lineCount, lines.size());
    QCOMPARE(reading.message, QString());
}

void TextTest::utf8IsRecognised_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<TextEncoding>("encoding");
    QTest::addColumn<QString>("firstLine");
    QTest::newRow("BOM") << QByteArray("\xEF\xBB\xBF\xE6\x97\xA5\xE6\x9C\xAC\r\n")
                         << TextEncoding::Utf8 << QStringLiteral("日本");
    QTest::newRow("BOM, ASCII only")
        << QByteArray("\xEF\xBB\xBFHello\r\n") << TextEncoding::Utf8 << QStringLiteral("Hello");
    QTest::newRow("no BOM, all valid") << QByteArray("\xE6\x97\xA5\xE6\x9C\xAC\r\n")
                                       << TextEncoding::Utf8 << QStringLiteral("日本");
    QTest::newRow("no BOM, four-byte character")
        << QByteArray("\xF0\x9F\x98\x80!") << TextEncoding::Utf8 << QStringLiteral("😀!");
    QTest::newRow("ASCII only is code page 932")
        << QByteArray("Hello\r\n") << TextEncoding::Cp932 << QStringLiteral("Hello");
    QTest::newRow("not valid UTF-8 is code page 932")
        << QByteArray("\x93\xFA\x96\x7B\r\n") << TextEncoding::Cp932 << QStringLiteral("日本");
}

void TextTest::utf8IsRecognised() {
    QFETCH(QByteArray, bytes);
    QFETCH(TextEncoding, encoding);
    QFETCH(QString, firstLine);
    const PracticeTextReading reading = readPracticeText(bytes);
    QCOMPARE(reading.encoding, encoding);
    QCOMPARE(reading.lines.value(0), firstLine);
    QCOMPARE(reading.invalidSequences, 0);
}

void TextTest::moreThan101LinesAreCut_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("kept");
    QTest::addColumn<int>("count");
    QTest::newRow("1 line") << crlfLines(1) << 1 << 1;
    QTest::newRow("101 lines") << crlfLines(101) << 101 << 101;
    QTest::newRow("101 lines, no final CR LF") << crlfLines(101).chopped(2) << 101 << 101;
    QTest::newRow("102 lines") << crlfLines(102) << 101 << 102;
    QTest::newRow("101 lines and a blank one") << crlfLines(101) + "\r\n" << 101 << 102;
    QTest::newRow("5000 lines") << crlfLines(5000) << 101 << 5000;
}

void TextTest::moreThan101LinesAreCut() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, kept);
    QFETCH(int, count);
    const PracticeTextReading reading = readPracticeText(bytes);
    QVERIFY(!reading.isRefused());
    QCOMPARE(reading.lines.size(), kept);
    QCOMPARE(reading.lineCount, count);
    QCOMPARE(reading.lines.first(), QStringLiteral("line 1"));
    QCOMPARE(reading.lines.last(),
             kept < 101 ? QStringLiteral("line %1").arg(kept) : QStringLiteral("line 101"));
    QCOMPARE(reading.isCut(), count > 101);
    QCOMPARE(reading.message.contains(QString::number(count)), count > 101);
}

void TextTest::filesWithoutPracticeTextAreRefused_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<TextRefusal>("refusal");
    QTest::newRow("empty") << QByteArray() << TextRefusal::Empty;
    QTest::newRow("only a BOM") << QByteArray("\xEF\xBB\xBF") << TextRefusal::Empty;
    QTest::newRow("only an end-of-file mark") << QByteArray("\x1A") << TextRefusal::Empty;
    QTest::newRow("NUL byte") << QByteArray("ab\0cd\r\n", 7) << TextRefusal::NulBytes;
    QTest::newRow("UTF-16 text") << QByteArray("\xFF\xFE"
                                               "a\0\r\0\n\0",
                                               8)
                                 << TextRefusal::NulBytes;
    QTest::newRow("one byte over 1 MiB")
        << QByteArray(maxPracticeTextBytes + 1, 'a') << TextRefusal::TooLarge;
}

void TextTest::filesWithoutPracticeTextAreRefused() {
    QFETCH(QByteArray, bytes);
    QFETCH(TextRefusal, refusal);
    const PracticeTextReading reading = readPracticeText(bytes);
    QCOMPARE(reading.refusal, refusal);
    QVERIFY(reading.lines.isEmpty());
    QVERIFY(reading.message.contains(QLatin1Char('\n'))); // Japanese, then English
}

void TextTest::unreadableCharactersAreNamedByLine() {
    const PracticeTextReading reading = readPracticeText("ok\r\n\r\nok\nok\r\x82\xA0\x81");
    QCOMPARE(reading.lineCount, 5);
    QCOMPARE(reading.firstInvalidLine, 5);
    QVERIFY2(reading.message.contains(QStringLiteral("5 行目")), qPrintable(reading.message));
    QVERIFY(reading.message.contains(QStringLiteral("line 5")));

    QCOMPARE(readPracticeText(crlfLines(1000) + "\x80").message.count(QLatin1Char('\n')) >= 3,
             true); // cut and unreadable: both are told
}

void TextTest::filesAreCheckedBeforeReading_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<TextRefusal>("refusal");
    QTest::newRow("missing") << "missing.txt" << TextRefusal::Missing;
    QTest::newRow("folder") << "folder.txt" << TextRefusal::NotAFile;
    QTest::newRow("2 MiB") << "large.txt" << TextRefusal::TooLarge;
    QTest::newRow("exactly 1 MiB") << "limit.txt" << TextRefusal::None;
}

void TextTest::filesAreCheckedBeforeReading() {
    QFETCH(QString, name);
    QFETCH(TextRefusal, refusal);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("folder.txt"));
    QFile large(dir.filePath("large.txt"));
    QVERIFY(large.open(QIODevice::WriteOnly) && large.resize(2 * maxPracticeTextBytes));
    large.close();
    writeFile(dir.filePath("limit.txt"), QByteArray(maxPracticeTextBytes, 'a'));
    QCOMPARE(readPracticeTextFile(dir.filePath(name)).refusal, refusal);
}

void TextTest::shippedTextsAreCrLfInTheirEncodings() {
    // The copies beside the program, as the build lays them out.
    const QDir texts(QStringLiteral(TOKOTOKO_RUNTIME_TEXTS));
    for (const auto& [name, encoding] :
         {std::pair{"japanese.txt", TextEncoding::Cp932}, {"english.txt", TextEncoding::Cp932}}) {
        QFile file(texts.filePath(QLatin1String(name)));
        QVERIFY2(file.open(QIODevice::ReadOnly), name);
        const QByteArray bytes = file.readAll();
        QCOMPARE(bytes.count("\r\n"), bytes.count('\n'));
        QCOMPARE(bytes.count("\r\n"), bytes.count('\r'));
        QVERIFY(bytes.endsWith("\r\n"));
        const PracticeTextReading reading = readPracticeText(bytes);
        QCOMPARE(reading.encoding, encoding);
        QCOMPARE(reading.message, QString());
        QVERIFY(reading.lineCount >= 5 && reading.lineCount <= 10);
        for (const QString& line : reading.lines)
            QVERIFY2(!line.trimmed().isEmpty(), name);
    }
    QFile english(texts.filePath("english.txt"));
    QVERIFY(english.open(QIODevice::ReadOnly));
    for (char c : english.readAll())
        QVERIFY(static_cast<uchar>(c) < 0x80);

    QFile japanese(texts.filePath("japanese.txt"));
    QVERIFY(japanese.open(QIODevice::ReadOnly));
    const QString text = readPracticeText(japanese.readAll()).lines.join(QString());
    auto hasAny = [&](char16_t from, char16_t to) {
        return std::any_of(text.begin(), text.end(),
                           [&](QChar c) { return c.unicode() >= from && c.unicode() <= to; });
    };
    QVERIFY(hasAny(0x4E00, 0x9FFF)); // kanji
    QVERIFY(hasAny(0x3041, 0x309F)); // hiragana
    QVERIFY(hasAny(0x30A1, 0x30FF)); // katakana
    QVERIFY(text.contains(QStringLiteral("。")) && text.contains(QStringLiteral("、")));
}

void TextTest::openingStoresTheText_data() {
    QTest::addColumn<bool>("linePractice");
    QTest::addColumn<int>("linePosition");
    QTest::newRow("line practice") << true << 0;
    QTest::newRow("timed challenge") << false << 1;
}

void TextTest::openingStoresTheText() {
    QFETCH(bool, linePractice);
    QFETCH(int, linePosition);
    QTemporaryDir data;
    QVERIFY(QDir(data.path()).mkpath("texts"));
    const QString path = data.filePath("texts/three.txt");
    writeFile(path, "one\r\n\x93\xF1\r\n three \r\n");
    FakePlatform fake;
    fake.app.folders = {data.path()};
    TextWindow window(fake, linePractice);

    QVERIFY(window.open(path));

    QCOMPARE(fake.dialogs.openCalls.size(), 1);
    QCOMPARE(fake.dialogs.openCalls[0].filter, QStringLiteral("テキスト ファイル (*.txt)|*.txt|"));
    QCOMPARE(fake.dialogs.openCalls[0].startName, QString());
    QCOMPARE(fake.dialogs.openCalls[0].startFolder, data.filePath("texts"));
    QCOMPARE(window.text.textFileName, path);
    QCOMPARE(window.text.lineSlots[0], QStringLiteral("one"));
    QCOMPARE(window.text.lineSlots[1], QStringLiteral("二"));
    QCOMPARE(window.text.lineSlots[2], QStringLiteral(" three "));
    QCOMPARE(window.text.lineSlots[3], QString());
    QCOMPARE(window.text.linesRead, 3);
    QCOMPARE(window.text.lastLineIndex, 2);
    QCOMPARE(window.text.linePosition, linePosition);
    QCOMPARE(window.displayClears, 1);
    QCOMPARE(window.restarts, linePractice ? 1 : 0);
    QVERIFY(fake.dialogs.messages.isEmpty());
}

void TextTest::cancelWithNothingChosenChangesNothing() {
    FakePlatform fake;
    TextWindow window(fake, true);
    window.text.linePosition = 7; // whatever the window had

    QVERIFY(!window.cancel());

    QCOMPARE(fake.dialogs.openCalls.size(), 1);
    compareStores(window.text, [] {
        PracticeText expected;
        expected.linePosition = 7;
        return expected;
    }());
    QCOMPARE(window.displayClears, 0);
    QCOMPARE(window.restarts, 0);
    QVERIFY(fake.dialogs.messages.isEmpty());
}

void TextTest::cancelAfterAChoiceReadsThatFileAgain() {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.txt");
    writeFile(path, "first\r\n");
    FakePlatform fake;
    TextWindow window(fake, false);
    QVERIFY(window.open(path));
    writeFile(path, "changed\r\nsince\r\n");

    // Cancel reports the name the dialog still holds, like a choice of the same file.
    QVERIFY(window.cancel());

    QCOMPARE(fake.dialogs.openCalls[1].startName, path);
    QCOMPARE(window.text.textFileName, path);
    QCOMPARE(window.text.lineSlots[0], QStringLiteral("changed"));
    QCOMPARE(window.text.lastLineIndex, 1);
    QCOMPARE(window.displayClears, 2);
}

void TextTest::cancelInAReopenedWindowLeavesNoText() {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.txt");
    writeFile(path, "first\r\n");
    FakePlatform fake;
    TextWindow window(fake, false);
    QVERIFY(window.open(path));
    window.reload();

    QVERIFY(!window.cancel());

    // The new dialog starts beside the text in use but has no name of its own to report.
    QCOMPARE(fake.dialogs.openCalls[1].startName, QString());
    QCOMPARE(fake.dialogs.openCalls[1].startFolder, dir.path());
    QVERIFY(!window.text.hasText());
    QCOMPARE(window.text.lineSlots[0], QStringLiteral("first"));
    QCOMPARE(window.displayClears, 1);
}

void TextTest::aRefusedFileLeavesTheStoreAsItWas_data() {
    QTest::addColumn<bool>("linePractice");
    QTest::addColumn<QString>("name");
    for (const bool linePractice : {true, false}) {
        const char* kind = linePractice ? "line practice" : "timed challenge";
        for (const char* name : {"empty.txt", "nul.txt", "removed.txt", "folder.txt", "large.txt"})
            QTest::addRow("%s, %s", kind, name) << linePractice << QString::fromLatin1(name);
    }
}

void TextTest::aRefusedFileLeavesTheStoreAsItWas() {
    QFETCH(bool, linePractice);
    QFETCH(QString, name);
    QTemporaryDir dir;
    const QString good = dir.filePath("good.txt");
    writeFile(good, "a\r\nb\r\nc\r\n");
    writeFile(dir.filePath("empty.txt"), {});
    writeFile(dir.filePath("nul.txt"), QByteArray("x\0y\r\n", 5));
    QVERIFY(QDir(dir.path()).mkdir("folder.txt"));
    writeFile(dir.filePath("large.txt"), QByteArray(maxPracticeTextBytes + 1, '\n'));
    FakePlatform fake;
    TextWindow window(fake, linePractice);
    QVERIFY(window.open(good));
    window.text.linePosition = 2; // the window has moved on
    const PracticeText before = window.text;

    // removed.txt never exists: the file chosen in the dialog is gone when it is read.
    QVERIFY(!window.open(dir.filePath(name)));

    PracticeText expected = before;
    if (linePractice)
        expected.linePosition = 0;
    compareStores(window.text, expected);
    QCOMPARE(window.restarts, linePractice ? 2 : 0);
    QCOMPARE(window.displayClears, 2);
    QCOMPARE(fake.dialogs.messages.size(), 1);
    QVERIFY(fake.dialogs.messages[0].warning);
    QVERIFY(fake.dialogs.messages[0].text.contains(name));
    QVERIFY(fake.dialogs.messages[0].text.contains(QStringLiteral("前のテキスト")));
    // The dialog starts from the refused name next time, where the learner left it.
    QCOMPARE(window.dialog->FileName, dir.filePath(name));
}

void TextTest::aRefusedFirstFileLeavesNoText() {
    QTemporaryDir dir;
    FakePlatform fake;
    TextWindow window(fake, true);

    QVERIFY(!window.open(dir.filePath("gone.txt")));

    compareStores(window.text, PracticeText{});
    QCOMPARE(window.restarts, 1);
    QCOMPARE(fake.dialogs.messages.size(), 1);
    QVERIFY(fake.dialogs.messages[0].text.contains(QStringLiteral("見つかりません")));
    QVERIFY(!fake.dialogs.messages[0].text.contains(QStringLiteral("前のテキスト")));
}

void TextTest::aLongFileIsCutWithAWarning() {
    QTemporaryDir dir;
    const QString path = dir.filePath("long.txt");
    writeFile(path, crlfLines(102));
    FakePlatform fake;
    TextWindow window(fake, false);

    QVERIFY(window.open(path));

    QCOMPARE(window.text.textFileName, path);
    QCOMPARE(window.text.linesRead, 101);
    QCOMPARE(window.text.lastLineIndex, 100);
    QCOMPARE(window.text.lastLine(), QStringLiteral("line 101"));
    QCOMPARE(fake.dialogs.messages.size(), 1);
    QVERIFY(fake.dialogs.messages[0].text.contains(QStringLiteral("102")));
}

void TextTest::aFailingEditorIsPassedOverSilently() {
    FakePlatform fake;
    fake.launcher.result = false;
    QVERIFY(!runEditorCommand(fake.platform()));
    QCOMPARE(fake.launcher.starts, 1);
    QVERIFY(fake.dialogs.messages.isEmpty());
}

void TextTest::theShippedFolderIsTheFirstThatHasTexts() {
    QTemporaryDir first;
    QTemporaryDir second;
    QTemporaryDir third;
    QVERIFY(QDir(second.path()).mkdir("texts"));
    QVERIFY(QDir(third.path()).mkdir("texts"));
    FakeAppControl app;
    app.folders = {first.path(), second.path(), third.path()};
    QCOMPARE(bundledTextsFolder(app), second.filePath("texts"));
    app.folders = {first.path()};
    QCOMPARE(bundledTextsFolder(app), QString());
}

QTEST_MAIN(TextTest)
#include "tst_text.moc"

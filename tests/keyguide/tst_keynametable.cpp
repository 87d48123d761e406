// The key name table on its own: which group answers for which shift state, what a key
// without an entry leaves, and the texts where full-width, half-width and look-alike
// characters are easily confused.

#include "keyguide/KeyNameTable.h"

#include <QTest>

using namespace tokotoko;

Q_DECLARE_METATYPE(tokotoko::KeyTexts)

namespace {

const KeyTexts kBefore{QStringLiteral("前"), QStringLiteral("まえ")};

KeyTexts texts(const char16_t* name, const char16_t* reading) {
    return {QString::fromUtf16(name), QString::fromUtf16(reading)};
}

// Key codes the shifted group answers: the digit row, the letters and the JIS symbol keys.
bool hasShiftedEntry(int keyCode) {
    return (keyCode >= 48 && keyCode <= 57) || (keyCode >= 65 && keyCode <= 90) ||
           (keyCode >= 186 && keyCode <= 192) || (keyCode >= 219 && keyCode <= 222) ||
           keyCode == 226;
}

bool isModifierKey(int keyCode) {
    return keyCode >= 16 && keyCode <= 18;
}

} // namespace

class KeyNameTableTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lookUp_data();
    void lookUp();
    void ctrlOrAltHeldNamesOnlyTheModifiers();
    void shiftAloneNamesOnlyTheShiftedKeys();
    void groupForShiftState();
};

void KeyNameTableTest::lookUp_data() {
    QTest::addColumn<int>("keyCode");
    QTest::addColumn<int>("shift");
    QTest::addColumn<KeyTexts>("expected");

    // Letters: the name in the case typed, the reading in the other case, both full-width.
    QTest::newRow("A") << 65 << 0 << texts(u"\uFF41", u"\uFF21");
    QTest::newRow("Shift+A") << 65 << 1 << texts(u"\uFF21", u"\uFF41");
    QTest::newRow("Z") << 90 << 0 << texts(u"\uFF5A", u"\uFF3A");
    // Digits clear the reading, from the main row and from the keypad alike.
    QTest::newRow("main 0") << 48 << 0 << texts(u"０", u"");
    QTest::newRow("main 5") << 53 << 0 << texts(u"５", u"");
    QTest::newRow("keypad 0") << 96 << 0 << texts(u"０", u"");
    QTest::newRow("keypad 5") << 101 << 0 << texts(u"５", u"");
    QTest::newRow("keypad 9") << 105 << 0 << texts(u"９", u"");
    QTest::newRow("keypad *") << 106 << 0 << texts(u"\uFF0A", u"アスタリスク");
    QTest::newRow("keypad -") << 109 << 0 << texts(u"\uFF0D", u"マイナス");
    QTest::newRow("keypad /") << 111 << 0 << texts(u"\uFF0F", u"スラッシュ");
    QTest::newRow("Shift+keypad 5") << 101 << 1 << kBefore;
    QTest::newRow("Shift+keypad *") << 106 << 1 << kBefore;
    // Shift with the digit row.
    QTest::newRow("Shift+1") << 49 << 1 << texts(u"\uFF01", u"ｴｸｽｸﾗﾒｰｼｮﾝ");
    QTest::newRow("Shift+2") << 50 << 1 << texts(u"\u0022", u"ﾀﾞﾌﾞﾙｸｵｰﾃｰｼｮﾝ");
    QTest::newRow("Shift+4") << 52 << 1 << texts(u"＄", u"ドル");
    QTest::newRow("Shift+7") << 55 << 1 << texts(u"\u0027", u"ｱﾎﾟｽﾄﾛﾌｨｰ");
    // Shift+0 gives no character: the name empties, the reading of the key before stays.
    QTest::newRow("Shift+0 keeps the reading") << 48 << 1 << KeyTexts{QString(), kBefore.reading};
    // Function keys: full-width name, half-width katakana reading with ASCII digits.
    QTest::newRow("F1") << 112 << 0 << texts(u"Ｆ１", u"ﾌｧﾝｸｼｮﾝ1");
    QTest::newRow("F10") << 121 << 0 << texts(u"Ｆ１０", u"ﾌｧﾝｸｼｮﾝ10");
    QTest::newRow("F12") << 123 << 0 << texts(u"\uFF26\uFF11\uFF12", u"ﾌｧﾝｸｼｮﾝ12");
    QTest::newRow("Shift+F1") << 112 << 1 << kBefore;
    // The yen key and the ろ key: U+005C against the full-width yen sign.
    QTest::newRow("yen key") << 220 << 0 << texts(u"\u005C", u"円マーク");
    QTest::newRow("ro key") << 226 << 0 << texts(u"\uFFE5", u"ﾊﾞｯｸｽﾗｯｼｭ");
    QTest::newRow("Shift+yen key") << 220 << 1 << texts(u"\u007C", u"縦棒");
    QTest::newRow("Shift+ro key") << 226 << 1 << texts(u"_", u"ｱﾝﾀﾞｰﾗｲﾝ");
    // Symbol keys: some names full-width, some ASCII.
    QTest::newRow(": key") << 186 << 0 << texts(u":", u"コロン");
    QTest::newRow("Shift+: key") << 186 << 1 << texts(u"*", u"アスタリスク");
    QTest::newRow("- key") << 189 << 0 << texts(u"\uFF0D", u"マイナス");
    QTest::newRow("@ key") << 192 << 0 << texts(u"\uFF20", u"アットマーク");
    QTest::newRow("Shift+@ key") << 192 << 1 << texts(u"\u0060", u"ｼﾝｸﾞﾙｸｵｰﾃｰｼｮﾝ");
    QTest::newRow("^ key") << 222 << 0 << texts(u"\uFF3E", u"べきじょう");
    QTest::newRow("Shift+^ key") << 222 << 1 << texts(u"~", u"チルダ");
    // Named keys, where half-width katakana and odd spellings are easily mistyped.
    QTest::newRow("Backspace") << 8 << 0 << texts(u"BackSpace", u"ﾊﾞｯｸｽﾍﾟｰｽ");
    QTest::newRow("Print") << 42 << 0 << texts(u"Prentscreen", u"ﾌﾟﾘﾝﾄｽｸﾘｰﾝ");
    QTest::newRow("Help") << 47 << 0 << texts(u"47", u"47");
    QTest::newRow("Windows key") << 91 << 0 << texts(u"Windowsｷｰ", u"ｳｨﾝﾄﾞｰｽﾞｷｰ");
    QTest::newRow("Application key") << 93 << 0 << texts(u"Application", u"ｱﾌﾟﾘｹｰｼｮﾝｷｰ");
    QTest::newRow("半角/全角") << 229 << 0 << texts(u"半角/全角", u"半角/全角");
    QTest::newRow("無変換") << 29 << 0 << texts(u"無変換", u"無変換");
    QTest::newRow("英数") << 240 << 0 << texts(u"Caps Lock", u"ｷｬﾌﾟｽﾛｯｸ");
    QTest::newRow("カタカナ/ひらがな") << 242 << 0 << texts(u"ｶﾀｶﾅ", u"カタカナ");
    // The modifier keys are named whatever is held with them.
    QTest::newRow("Shift") << 16 << 1 << texts(u"Shift", u"シフト");
    QTest::newRow("Shift, no state") << 16 << 0 << texts(u"Shift", u"シフト");
    QTest::newRow("Ctrl") << 17 << 2 << texts(u"Ctrl", u"コントロール");
    QTest::newRow("Alt") << 18 << 4 << texts(u"Alt", u"オルト");
    QTest::newRow("Alt with Shift") << 18 << 5 << texts(u"Alt", u"オルト");
    // Modifiers held with a key hide it.
    QTest::newRow("Ctrl+A") << 65 << 2 << kBefore;
    QTest::newRow("Alt+A") << 65 << 4 << kBefore;
    QTest::newRow("Ctrl+Shift+A") << 65 << 3 << kBefore;
    QTest::newRow("Alt+F4") << 115 << 4 << kBefore;
    // Codes next to the ranges, and codes with no entry at all.
    QTest::newRow("64 before A") << 64 << 0 << kBefore;
    QTest::newRow("91 after Z is the Windows key") << 91 << 1 << kBefore;
    QTest::newRow("58 after the digits") << 58 << 0 << kBefore;
    QTest::newRow("Clear 12") << 12 << 0 << kBefore;
    QTest::newRow("Caps Lock 20") << 20 << 0 << kBefore;
    QTest::newRow("変換 28") << 28 << 0 << kBefore;
    QTest::newRow("right Windows key 92") << 92 << 0 << kBefore;
    QTest::newRow("Scroll Lock 145") << 145 << 0 << kBefore;
    QTest::newRow("0") << 0 << 0 << kBefore;
    QTest::newRow("negative") << -65 << 0 << kBefore;
    QTest::newRow("out of range") << 65536 + 65 << 0 << kBefore;
    QTest::newRow("negative shift") << 65 << -1 << kBefore;
}

void KeyNameTableTest::lookUp() {
    QFETCH(int, keyCode);
    QFETCH(int, shift);
    QFETCH(KeyTexts, expected);
    QCOMPARE(KeyNameTable::lookUp(keyCode, shift, kBefore), expected);
}

void KeyNameTableTest::ctrlOrAltHeldNamesOnlyTheModifiers() {
    for (int shift = 2; shift <= 7; ++shift) {
        for (int keyCode = 0; keyCode < 512; ++keyCode) {
            if (isModifierKey(keyCode))
                continue;
            QVERIFY2(KeyNameTable::lookUp(keyCode, shift, kBefore) == kBefore,
                     qPrintable(QStringLiteral("%1 with %2").arg(keyCode).arg(shift)));
        }
    }
}

void KeyNameTableTest::shiftAloneNamesOnlyTheShiftedKeys() {
    for (int keyCode = 0; keyCode < 512; ++keyCode) {
        const bool named = KeyNameTable::find(KeyNameTable::Group::Shifted, keyCode).has_value();
        QVERIFY2(named == hasShiftedEntry(keyCode), qPrintable(QString::number(keyCode)));
        const bool changed = KeyNameTable::lookUp(keyCode, 1, kBefore) != kBefore;
        QVERIFY2(changed == (named || isModifierKey(keyCode)),
                 qPrintable(QString::number(keyCode)));
    }
}

void KeyNameTableTest::groupForShiftState() {
    using G = KeyNameTable::Group;
    QCOMPARE(KeyNameTable::groupForShift(0), std::optional<G>(G::Plain));
    QCOMPARE(KeyNameTable::groupForShift(1), std::optional<G>(G::Shifted));
    for (const int shift : {2, 3, 4, 5, 6, 7, 8, -1})
        QVERIFY(!KeyNameTable::groupForShift(shift).has_value());
}

QTEST_MAIN(KeyNameTableTest)
#include "tst_keynametable.moc"

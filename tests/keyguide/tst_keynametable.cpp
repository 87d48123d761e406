// The key name table on its own, through the lookup the key guide makes: which group answers
// for which shift state, what a key without an entry finds, and the texts where full-width,
// half-width and look-alike characters are easily confused.

#include "keyguide/KeyNameTable.h"

#include <QTest>

using namespace tokotoko;
using Found = KeyNameTable::Found;
using Group = KeyNameTable::Group;

Q_DECLARE_METATYPE(tokotoko::KeyNameTable::Found)

namespace tokotoko {

// How QCOMPARE shows a lookup that differs.
char* toString(const KeyNameTable::Found& found) {
    const auto describe = [](const std::optional<KeyNameEntry>& entry) {
        if (!entry)
            return QStringLiteral("nothing");
        const QString reading =
            entry->reading ? QStringLiteral("\"%1\"").arg(*entry->reading) : QStringLiteral("-");
        return QStringLiteral("\"%1\" %2").arg(entry->name, reading);
    };
    const auto group = found.first ? int(found.first->group) : -1;
    const auto first = found.first ? std::optional(found.first->entry) : std::nullopt;
    return qstrdup(
        qPrintable(QStringLiteral("first (group %1) %2, modifier %3")
                       .arg(QString::number(group), describe(first), describe(found.modifier))));
}

} // namespace tokotoko

namespace {

const Found kNothing;

KeyNameEntry entry(const char16_t* name, const char16_t* reading) {
    return {QString::fromUtf16(name), QString::fromUtf16(reading)};
}

Found plain(const char16_t* name, const char16_t* reading) {
    return {KeyNameTable::Hit{Group::Plain, entry(name, reading)}, std::nullopt};
}

Found shifted(const char16_t* name, const char16_t* reading) {
    return {KeyNameTable::Hit{Group::Shifted, entry(name, reading)}, std::nullopt};
}

Found modifier(const char16_t* name, const char16_t* reading) {
    return {std::nullopt, entry(name, reading)};
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
    void ctrlOrAltHeldFindsOnlyTheModifiers();
    void shiftAloneFindsOnlyTheShiftedKeys();
};

void KeyNameTableTest::lookUp_data() {
    QTest::addColumn<int>("keyCode");
    QTest::addColumn<int>("shift");
    QTest::addColumn<Found>("expected");

    // Letters: the name in the case typed, the reading in the other case, both full-width.
    QTest::newRow("A") << 65 << 0 << plain(u"\uFF41", u"\uFF21");
    QTest::newRow("Shift+A") << 65 << 1 << shifted(u"\uFF21", u"\uFF41");
    QTest::newRow("Z") << 90 << 0 << plain(u"\uFF5A", u"\uFF3A");
    // Digits clear the reading, from the main row and from the keypad alike.
    QTest::newRow("main 0") << 48 << 0 << plain(u"０", u"");
    QTest::newRow("main 5") << 53 << 0 << plain(u"５", u"");
    QTest::newRow("keypad 0") << 96 << 0 << plain(u"０", u"");
    QTest::newRow("keypad 5") << 101 << 0 << plain(u"５", u"");
    QTest::newRow("keypad 9") << 105 << 0 << plain(u"９", u"");
    QTest::newRow("keypad *") << 106 << 0 << plain(u"\uFF0A", u"アスタリスク");
    QTest::newRow("keypad -") << 109 << 0 << plain(u"\uFF0D", u"マイナス");
    QTest::newRow("keypad /") << 111 << 0 << plain(u"\uFF0F", u"スラッシュ");
    QTest::newRow("Shift+keypad 5") << 101 << 1 << kNothing;
    QTest::newRow("Shift+keypad *") << 106 << 1 << kNothing;
    // Shift with the digit row.
    QTest::newRow("Shift+1") << 49 << 1 << shifted(u"\uFF01", u"ｴｸｽｸﾗﾒｰｼｮﾝ");
    QTest::newRow("Shift+2") << 50 << 1 << shifted(u"\u0022", u"ﾀﾞﾌﾞﾙｸｵｰﾃｰｼｮﾝ");
    QTest::newRow("Shift+4") << 52 << 1 << shifted(u"＄", u"ドル");
    QTest::newRow("Shift+7") << 55 << 1 << shifted(u"\u0027", u"ｱﾎﾟｽﾄﾛﾌｨｰ");
    // Shift+0 gives no character: the name empties, the reading of the key before stays.
    QTest::newRow("Shift+0 keeps the reading")
        << 48 << 1 << Found{KeyNameTable::Hit{Group::Shifted, {QString(), std::nullopt}}, {}};
    // Function keys: full-width name, half-width katakana reading with ASCII digits.
    QTest::newRow("F1") << 112 << 0 << plain(u"Ｆ１", u"ﾌｧﾝｸｼｮﾝ1");
    QTest::newRow("F10") << 121 << 0 << plain(u"Ｆ１０", u"ﾌｧﾝｸｼｮﾝ10");
    QTest::newRow("F12") << 123 << 0 << plain(u"\uFF26\uFF11\uFF12", u"ﾌｧﾝｸｼｮﾝ12");
    QTest::newRow("Shift+F1") << 112 << 1 << kNothing;
    // The yen key and the ろ key: U+005C against the full-width yen sign.
    QTest::newRow("yen key") << 220 << 0 << plain(u"\u005C", u"円マーク");
    QTest::newRow("ro key") << 226 << 0 << plain(u"\uFFE5", u"ﾊﾞｯｸｽﾗｯｼｭ");
    QTest::newRow("Shift+yen key") << 220 << 1 << shifted(u"\u007C", u"縦棒");
    QTest::newRow("Shift+ro key") << 226 << 1 << shifted(u"_", u"ｱﾝﾀﾞｰﾗｲﾝ");
    // Symbol keys: some names full-width, some ASCII.
    QTest::newRow(": key") << 186 << 0 << plain(u":", u"コロン");
    QTest::newRow("Shift+: key") << 186 << 1 << shifted(u"*", u"アスタリスク");
    QTest::newRow("- key") << 189 << 0 << plain(u"\uFF0D", u"マイナス");
    QTest::newRow("@ key") << 192 << 0 << plain(u"\uFF20", u"アットマーク");
    QTest::newRow("Shift+@ key") << 192 << 1 << shifted(u"\u0060", u"ｼﾝｸﾞﾙｸｵｰﾃｰｼｮﾝ");
    QTest::newRow("^ key") << 222 << 0 << plain(u"\uFF3E", u"べきじょう");
    QTest::newRow("Shift+^ key") << 222 << 1 << shifted(u"~", u"チルダ");
    // Named keys, where half-width katakana and odd spellings are easily mistyped.
    QTest::newRow("Backspace") << 8 << 0 << plain(u"BackSpace", u"ﾊﾞｯｸｽﾍﾟｰｽ");
    QTest::newRow("Print") << 42 << 0 << plain(u"Prentscreen", u"ﾌﾟﾘﾝﾄｽｸﾘｰﾝ");
    QTest::newRow("Help") << 47 << 0 << plain(u"47", u"47");
    QTest::newRow("Windows key") << 91 << 0 << plain(u"Windowsｷｰ", u"ｳｨﾝﾄﾞｰｽﾞｷｰ");
    QTest::newRow("Application key") << 93 << 0 << plain(u"Application", u"ｱﾌﾟﾘｹｰｼｮﾝｷｰ");
    QTest::newRow("半角/全角") << 229 << 0 << plain(u"半角/全角", u"半角/全角");
    QTest::newRow("無変換") << 29 << 0 << plain(u"無変換", u"無変換");
    QTest::newRow("英数") << 240 << 0 << plain(u"Caps Lock", u"ｷｬﾌﾟｽﾛｯｸ");
    QTest::newRow("カタカナ/ひらがな") << 242 << 0 << plain(u"ｶﾀｶﾅ", u"カタカナ");
    // The modifier keys are named whatever is held with them.
    QTest::newRow("Shift") << 16 << 1 << modifier(u"Shift", u"シフト");
    QTest::newRow("Shift, no state") << 16 << 0 << modifier(u"Shift", u"シフト");
    QTest::newRow("Ctrl") << 17 << 2 << modifier(u"Ctrl", u"コントロール");
    QTest::newRow("Alt") << 18 << 4 << modifier(u"Alt", u"オルト");
    QTest::newRow("Alt with Shift") << 18 << 5 << modifier(u"Alt", u"オルト");
    // Modifiers held with a key hide it.
    QTest::newRow("Ctrl+A") << 65 << 2 << kNothing;
    QTest::newRow("Alt+A") << 65 << 4 << kNothing;
    QTest::newRow("Ctrl+Shift+A") << 65 << 3 << kNothing;
    QTest::newRow("Alt+F4") << 115 << 4 << kNothing;
    // Codes next to the ranges, and codes with no entry at all.
    QTest::newRow("64 before A") << 64 << 0 << kNothing;
    QTest::newRow("91 after Z is the Windows key") << 91 << 1 << kNothing;
    QTest::newRow("58 after the digits") << 58 << 0 << kNothing;
    QTest::newRow("Clear 12") << 12 << 0 << kNothing;
    QTest::newRow("Caps Lock 20") << 20 << 0 << kNothing;
    QTest::newRow("変換 28") << 28 << 0 << kNothing;
    QTest::newRow("right Windows key 92") << 92 << 0 << kNothing;
    QTest::newRow("Scroll Lock 145") << 145 << 0 << kNothing;
    QTest::newRow("0") << 0 << 0 << kNothing;
    QTest::newRow("negative") << -65 << 0 << kNothing;
    QTest::newRow("out of range") << 65536 + 65 << 0 << kNothing;
    QTest::newRow("negative shift") << 65 << -1 << kNothing;
    QTest::newRow("unknown shift bit") << 65 << 8 << kNothing;
}

void KeyNameTableTest::lookUp() {
    QFETCH(int, keyCode);
    QFETCH(int, shift);
    QFETCH(Found, expected);
    QCOMPARE(KeyNameTable::lookUp(keyCode, shift), expected);
}

void KeyNameTableTest::ctrlOrAltHeldFindsOnlyTheModifiers() {
    for (int shift = 2; shift <= 7; ++shift) {
        for (int keyCode = 0; keyCode < 512; ++keyCode) {
            const Found found = KeyNameTable::lookUp(keyCode, shift);
            QVERIFY2(!found.first && found.modifier.has_value() == isModifierKey(keyCode),
                     qPrintable(QStringLiteral("%1 with %2").arg(keyCode).arg(shift)));
        }
    }
}

void KeyNameTableTest::shiftAloneFindsOnlyTheShiftedKeys() {
    for (int keyCode = 0; keyCode < 512; ++keyCode) {
        const Found found = KeyNameTable::lookUp(keyCode, 1);
        const bool inShiftedGroup = found.first && found.first->group == Group::Shifted;
        QVERIFY2(found.first.has_value() == inShiftedGroup, qPrintable(QString::number(keyCode)));
        QVERIFY2(inShiftedGroup == hasShiftedEntry(keyCode), qPrintable(QString::number(keyCode)));
        QVERIFY2(found.modifier.has_value() == isModifierKey(keyCode),
                 qPrintable(QString::number(keyCode)));
    }
}

QTEST_MAIN(KeyNameTableTest)
#include "tst_keynametable.moc"

#include "KeyNameTable.h"

#include <array>

namespace tokotoko {
namespace {

struct Row {
    int keyCode;
    const char16_t* name;
    const char16_t* reading;
};

// Keys named one by one. The symbol keys carry the JIS legends; a half-width katakana or
// full-width form is part of the text, as is the plain U+005C of the yen key (Japanese fonts
// draw it as a yen sign) against the full-width yen sign U+FFE5 of the ろ key.
constexpr std::array kPlainKeys{std::to_array<Row>({
    {8, u"BackSpace", u"ﾊﾞｯｸｽﾍﾟｰｽ"},
    {9, u"Tab", u"タブ"},
    {13, u"Enter", u"エンター"},
    {19, u"Pause", u"ポーズ"},
    {27, u"Escape", u"エスケープ"},
    {29, u"無変換", u"無変換"},
    {32, u"Space", u"スペース"},
    {33, u"Page Up", u"ページアップ"},
    {34, u"Page Down", u"ページダウン"},
    {35, u"End", u"エンド"},
    {36, u"Home", u"ホーム"},
    {37, u"←", u"左矢印"},
    {38, u"↑", u"上矢印"},
    {39, u"→", u"右矢印"},
    {40, u"↓", u"下矢印"},
    {42, u"Prentscreen", u"ﾌﾟﾘﾝﾄｽｸﾘｰﾝ"},
    {45, u"Insert", u"インサート"},
    {46, u"Delete", u"デリート"},
    {47, u"47", u"47"},
    {91, u"Windowsｷｰ", u"ｳｨﾝﾄﾞｰｽﾞｷｰ"},
    {93, u"Application", u"ｱﾌﾟﾘｹｰｼｮﾝｷｰ"},
    {106, u"＊", u"アスタリスク"},
    {107, u"＋", u"プラス"},
    {109, u"－", u"マイナス"},
    {110, u"．", u"ピリオド"},
    {111, u"／", u"スラッシュ"},
    {144, u"NumLock", u"ナムロック"},
    {186, u":", u"コロン"},
    {187, u";", u"セミコロン"},
    {188, u",", u"カンマ"},
    {189, u"－", u"マイナス"},
    {190, u".", u"ピリオド"},
    {191, u"／", u"スラッシュ"},
    {192, u"＠", u"アットマーク"},
    {219, u"[", u"角かっこ"},
    {220, u"\\", u"円マーク"},
    {221, u"]", u"角かっことじ"},
    {222, u"＾", u"べきじょう"},
    {226, u"￥", u"ﾊﾞｯｸｽﾗｯｼｭ"},
    {229, u"半角/全角", u"半角/全角"},
    {240, u"Caps Lock", u"ｷｬﾌﾟｽﾛｯｸ"},
    {242, u"ｶﾀｶﾅ", u"カタカナ"},
})};

constexpr std::array kShiftedKeys{std::to_array<Row>({
    {49, u"！", u"ｴｸｽｸﾗﾒｰｼｮﾝ"},       {50, u"\"", u"ﾀﾞﾌﾞﾙｸｵｰﾃｰｼｮﾝ"},
    {51, u"＃", u"シャープ"},         {52, u"＄", u"ドル"},
    {53, u"％", u"パーセント"},       {54, u"＆", u"アンド"},
    {55, u"'", u"ｱﾎﾟｽﾄﾛﾌｨｰ"},         {56, u"(", u"かっこ"},
    {57, u")", u"かっことじ"},        {186, u"*", u"アスタリスク"},
    {187, u"+", u"プラス"},           {188, u"<", u"小なり"},
    {189, u"=", u"イコール"},         {190, u">", u"大なり"},
    {191, u"?", u"ｸｴｽﾁｮﾝﾏｰｸ"},        {192, u"`", u"ｼﾝｸﾞﾙｸｵｰﾃｰｼｮﾝ"},
    {219, u"{", u"ちゅうかっこ"},     {220, u"|", u"縦棒"},
    {221, u"}", u"ちゅうかっことじ"}, {222, u"~", u"チルダ"},
    {226, u"_", u"ｱﾝﾀﾞｰﾗｲﾝ"},
})};

constexpr std::array kModifierKeys{std::to_array<Row>({
    {16, u"Shift", u"シフト"},
    {17, u"Ctrl", u"コントロール"},
    {18, u"Alt", u"オルト"},
})};

constexpr int kShiftBit = 1;
constexpr int kDigit0 = 48;
constexpr int kNumpad0 = 96;
constexpr int kLetterA = 65;
constexpr int kF1 = 112;

template <std::size_t N>
std::optional<KeyNameEntry> findRow(const std::array<Row, N>& rows, int keyCode) {
    for (const Row& row : rows) {
        if (row.keyCode == keyCode)
            return KeyNameEntry{QString::fromUtf16(row.name), QString::fromUtf16(row.reading)};
    }
    return std::nullopt;
}

QString fullWidthNumber(int number) {
    QString text = QString::number(number);
    for (QChar& digit : text)
        digit = QChar(char16_t(u'０' + (digit.unicode() - u'0')));
    return text;
}

QChar fullWidthLetter(int letter, bool capital) {
    return QChar(char16_t((capital ? u'Ａ' : u'ａ') + letter));
}

std::optional<KeyNameEntry> findPlain(int keyCode) {
    if (keyCode >= kLetterA && keyCode < kLetterA + 26) {
        const int letter = keyCode - kLetterA;
        return KeyNameEntry{fullWidthLetter(letter, false), QString(fullWidthLetter(letter, true))};
    }
    if (keyCode >= kDigit0 && keyCode < kDigit0 + 10)
        return KeyNameEntry{fullWidthNumber(keyCode - kDigit0), QString()};
    if (keyCode >= kNumpad0 && keyCode < kNumpad0 + 10)
        return KeyNameEntry{fullWidthNumber(keyCode - kNumpad0), QString()};
    if (keyCode >= kF1 && keyCode < kF1 + 12) {
        const int number = keyCode - kF1 + 1;
        return KeyNameEntry{QChar(u'Ｆ') + fullWidthNumber(number),
                            QStringLiteral(u"ﾌｧﾝｸｼｮﾝ") + QString::number(number)};
    }
    return findRow(kPlainKeys, keyCode);
}

std::optional<KeyNameEntry> findShifted(int keyCode) {
    if (keyCode >= kLetterA && keyCode < kLetterA + 26) {
        const int letter = keyCode - kLetterA;
        return KeyNameEntry{fullWidthLetter(letter, true), QString(fullWidthLetter(letter, false))};
    }
    // Shift+0 gives no character on a JIS keyboard: the name goes blank and the reading of
    // the key before stays.
    if (keyCode == kDigit0)
        return KeyNameEntry{QString(), std::nullopt};
    return findRow(kShiftedKeys, keyCode);
}

} // namespace

std::optional<KeyNameEntry> KeyNameTable::find(Group group, int keyCode) {
    switch (group) {
    case Group::Plain:
        return findPlain(keyCode);
    case Group::Shifted:
        return findShifted(keyCode);
    case Group::Modifier:
        return findRow(kModifierKeys, keyCode);
    }
    return std::nullopt;
}

std::optional<KeyNameTable::Group> KeyNameTable::groupForShift(int shift) {
    if (shift == 0)
        return Group::Plain;
    if (shift == kShiftBit)
        return Group::Shifted;
    return std::nullopt;
}

void KeyNameTable::apply(const KeyNameEntry& entry, KeyTexts& shown) {
    shown.name = entry.name;
    if (entry.reading)
        shown.reading = *entry.reading;
}

KeyTexts KeyNameTable::lookUp(int keyCode, int shift, const KeyTexts& shown) {
    KeyTexts result = shown;
    if (const auto group = groupForShift(shift)) {
        if (const auto entry = find(*group, keyCode))
            apply(*entry, result);
    }
    if (const auto entry = find(Group::Modifier, keyCode))
        apply(*entry, result);
    return result;
}

} // namespace tokotoko

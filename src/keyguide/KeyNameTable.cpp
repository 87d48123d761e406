#include "KeyNameTable.h"

#include "platform/VirtualKeys.h"

#include <array>
#include <utility>

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
    {vk::Backspace, u"BackSpace", u"ﾊﾞｯｸｽﾍﾟｰｽ"},
    {vk::Tab, u"Tab", u"タブ"},
    {vk::Enter, u"Enter", u"エンター"},
    {vk::Pause, u"Pause", u"ポーズ"},
    {vk::Escape, u"Escape", u"エスケープ"},
    {vk::NonConvert, u"無変換", u"無変換"},
    {vk::Space, u"Space", u"スペース"},
    {vk::PageUp, u"Page Up", u"ページアップ"},
    {vk::PageDown, u"Page Down", u"ページダウン"},
    {vk::End, u"End", u"エンド"},
    {vk::Home, u"Home", u"ホーム"},
    {vk::Left, u"←", u"左矢印"},
    {vk::Up, u"↑", u"上矢印"},
    {vk::Right, u"→", u"右矢印"},
    {vk::Down, u"↓", u"下矢印"},
    {vk::Print, u"Prentscreen", u"ﾌﾟﾘﾝﾄｽｸﾘｰﾝ"},
    {vk::Insert, u"Insert", u"インサート"},
    {vk::Delete, u"Delete", u"デリート"},
    {vk::Help, u"47", u"47"},
    {vk::LeftWindows, u"Windowsｷｰ", u"ｳｨﾝﾄﾞｰｽﾞｷｰ"},
    {vk::Application, u"Application", u"ｱﾌﾟﾘｹｰｼｮﾝｷｰ"},
    {vk::Multiply, u"＊", u"アスタリスク"},
    {vk::Add, u"＋", u"プラス"},
    {vk::Subtract, u"－", u"マイナス"},
    {vk::Decimal, u"．", u"ピリオド"},
    {vk::Divide, u"／", u"スラッシュ"},
    {vk::NumLock, u"NumLock", u"ナムロック"},
    {vk::Colon, u":", u"コロン"},
    {vk::Semicolon, u";", u"セミコロン"},
    {vk::Comma, u",", u"カンマ"},
    {vk::Minus, u"－", u"マイナス"},
    {vk::Period, u".", u"ピリオド"},
    {vk::Slash, u"／", u"スラッシュ"},
    {vk::At, u"＠", u"アットマーク"},
    {vk::BracketLeft, u"[", u"角かっこ"},
    {vk::Yen, u"\\", u"円マーク"},
    {vk::BracketRight, u"]", u"角かっことじ"},
    {vk::Caret, u"＾", u"べきじょう"},
    {vk::Ro, u"￥", u"ﾊﾞｯｸｽﾗｯｼｭ"},
    {vk::ImeProcessed, u"半角/全角", u"半角/全角"},
    {vk::Eisu, u"Caps Lock", u"ｷｬﾌﾟｽﾛｯｸ"},
    {vk::KatakanaHiragana, u"ｶﾀｶﾅ", u"カタカナ"},
})};

constexpr std::array kShiftedKeys{std::to_array<Row>({
    {vk::Digit1, u"！", u"ｴｸｽｸﾗﾒｰｼｮﾝ"},
    {vk::Digit2, u"\"", u"ﾀﾞﾌﾞﾙｸｵｰﾃｰｼｮﾝ"},
    {vk::Digit3, u"＃", u"シャープ"},
    {vk::Digit4, u"＄", u"ドル"},
    {vk::Digit5, u"％", u"パーセント"},
    {vk::Digit6, u"＆", u"アンド"},
    {vk::Digit7, u"'", u"ｱﾎﾟｽﾄﾛﾌｨｰ"},
    {vk::Digit8, u"(", u"かっこ"},
    {vk::Digit9, u")", u"かっことじ"},
    {vk::Colon, u"*", u"アスタリスク"},
    {vk::Semicolon, u"+", u"プラス"},
    {vk::Comma, u"<", u"小なり"},
    {vk::Minus, u"=", u"イコール"},
    {vk::Period, u">", u"大なり"},
    {vk::Slash, u"?", u"ｸｴｽﾁｮﾝﾏｰｸ"},
    {vk::At, u"`", u"ｼﾝｸﾞﾙｸｵｰﾃｰｼｮﾝ"},
    {vk::BracketLeft, u"{", u"ちゅうかっこ"},
    {vk::Yen, u"|", u"縦棒"},
    {vk::BracketRight, u"}", u"ちゅうかっことじ"},
    {vk::Caret, u"~", u"チルダ"},
    {vk::Ro, u"_", u"ｱﾝﾀﾞｰﾗｲﾝ"},
})};

constexpr std::array kModifierKeys{std::to_array<Row>({
    {vk::Shift, u"Shift", u"シフト"},
    {vk::Ctrl, u"Ctrl", u"コントロール"},
    {vk::Alt, u"Alt", u"オルト"},
})};

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

bool inRange(int keyCode, int first, int last) {
    return keyCode >= first && keyCode <= last;
}

std::optional<KeyNameEntry> findPlain(int keyCode) {
    if (inRange(keyCode, vk::LetterA, vk::LetterZ)) {
        const int letter = keyCode - vk::LetterA;
        return KeyNameEntry{fullWidthLetter(letter, false), QString(fullWidthLetter(letter, true))};
    }
    if (inRange(keyCode, vk::Digit0, vk::Digit9))
        return KeyNameEntry{fullWidthNumber(keyCode - vk::Digit0), QString()};
    if (inRange(keyCode, vk::Numpad0, vk::Numpad9))
        return KeyNameEntry{fullWidthNumber(keyCode - vk::Numpad0), QString()};
    if (inRange(keyCode, vk::F1, vk::F12)) {
        const int number = keyCode - vk::F1 + 1;
        return KeyNameEntry{QChar(u'Ｆ') + fullWidthNumber(number),
                            QStringLiteral(u"ﾌｧﾝｸｼｮﾝ") + QString::number(number)};
    }
    return findRow(kPlainKeys, keyCode);
}

std::optional<KeyNameEntry> findShifted(int keyCode) {
    if (inRange(keyCode, vk::LetterA, vk::LetterZ)) {
        const int letter = keyCode - vk::LetterA;
        return KeyNameEntry{fullWidthLetter(letter, true), QString(fullWidthLetter(letter, false))};
    }
    // Shift+0 gives no character on a JIS keyboard: the name goes blank and the reading of
    // the key before stays.
    if (keyCode == vk::Digit0)
        return KeyNameEntry{QString(), std::nullopt};
    return findRow(kShiftedKeys, keyCode);
}

// The group the first step looks in: plain with no shift bit, shifted with Shift alone, none
// when Ctrl or Alt is held.
std::optional<KeyNameTable::Group> groupForShift(int shift) {
    if (shift == 0)
        return KeyNameTable::Group::Plain;
    if (shift == ShiftBit)
        return KeyNameTable::Group::Shifted;
    return std::nullopt;
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

KeyNameTable::Found KeyNameTable::lookUp(int keyCode, int shift) {
    Found found;
    if (const auto group = groupForShift(shift)) {
        if (auto entry = find(*group, keyCode))
            found.first = Hit{*group, std::move(*entry)};
    }
    found.modifier = find(Group::Modifier, keyCode);
    return found;
}

} // namespace tokotoko

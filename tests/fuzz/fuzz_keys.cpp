// libFuzzer target: arbitrary key events through the key translation and the key guide's name
// lookup. Whatever the event, the translation gives a virtual-key code and shift bits the
// windows can handle, the keys the program synthesizes come back as themselves, and the lookup
// shows either a name of its table or what was shown before.
//
// Input layout (little-endian, missing bytes read as 0):
//   int32 Qt key, uint32 Qt modifiers, uint32 X keycode, uint32 X state, uint8 flags (bit 0:
//   from X11, bit 1: a Wayland keycode), int32 key code and int32 shift state for a lookup of
//   their own, uint8 choice of the texts shown before.

#include "FuzzCheck.h"

#include "keyguide/KeyNameTable.h"
#include "platform/KeyTranslation.h"

#include <QStringList>

#include <cstdint>
#include <cstring>

using namespace tokotoko;

namespace {

class Reader {
public:
    Reader(const uint8_t* data, size_t size)
        : m_data(data)
        , m_size(size) {}

    template <typename T> T take() {
        uint8_t bytes[sizeof(T)] = {};
        for (size_t i = 0; i < sizeof(T) && m_at < m_size; ++i)
            bytes[i] = m_data[m_at++];
        T value;
        std::memcpy(&value, bytes, sizeof(T));
        return value;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_at = 0;
};

constexpr int kAllShiftBits = ShiftBit | CtrlBit | AltBit;
constexpr Qt::KeyboardModifiers kNonKeypadModifiers =
    Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

void checkStroke(const RawKey& key, const KeyStroke& stroke) {
    FUZZ_CHECK(stroke.keyCode >= 0 && stroke.keyCode <= 255);
    FUZZ_CHECK((stroke.shift & ~kAllShiftBits) == 0);
    // A modifier key's own press carries its bit.
    if (stroke.keyCode == vk::Shift)
        FUZZ_CHECK(stroke.shift & ShiftBit);
    if (stroke.keyCode == vk::Ctrl)
        FUZZ_CHECK(stroke.shift & CtrlBit);
    if (stroke.keyCode == vk::Alt)
        FUZZ_CHECK(stroke.shift & AltBit);
    if (key.qtKey == Qt::Key_Backtab)
        FUZZ_CHECK(stroke.shift & ShiftBit);
}

// Events made by the program or a test carry no native fields that count; X events take their
// shift state from the X state, whatever Qt's modifiers say (apart from the keypad); a Wayland
// keycode only tells apart the JIS keys that share a key symbol.
void checkWhatCounts(const RawKey& key, const KeyStroke& stroke) {
    if (key.x11 && key.nativeScanCode != 0) {
        RawKey otherModifiers = key;
        otherModifiers.modifiers ^= kNonKeypadModifiers;
        FUZZ_CHECK(translateKey(otherModifiers) == stroke);
        return;
    }
    RawKey symbolOnly = key;
    symbolOnly.nativeScanCode = 0;
    symbolOnly.nativeModifiers = ~key.nativeModifiers;
    symbolOnly.x11 = false;
    symbolOnly.wayland = false;
    const KeyStroke fromSymbol = translateKey(symbolOnly);
    if (!key.wayland || key.nativeScanCode == 0) {
        FUZZ_CHECK(fromSymbol == stroke);
        return;
    }
    if (stroke.keyCode != fromSymbol.keyCode) {
        const bool sharedSymbol =
            (stroke.keyCode == vk::Yen && fromSymbol.keyCode == vk::Ro) ||
            (stroke.keyCode == vk::Digit0 && fromSymbol.keyCode == vk::Caret) ||
            (stroke.keyCode == vk::Alt && fromSymbol.keyCode == vk::LeftWindows);
        FUZZ_CHECK(sharedSymbol);
    }
    FUZZ_CHECK((stroke.shift & fromSymbol.shift) == fromSymbol.shift);
}

// SendTabKey and the key guide's menu-key toggle post keys by virtual-key code: each must come
// back to the windows as that code.
void checkSynthesizedKey(int virtualKey) {
    for (const bool shifted : {false, true}) {
        const Qt::Key qtKey = qtKeyForVirtualKey(virtualKey, shifted);
        if (qtKey == Qt::Key_unknown)
            continue;
        RawKey posted;
        posted.qtKey = qtKey;
        posted.modifiers = shifted ? Qt::ShiftModifier : Qt::NoModifier;
        const KeyStroke stroke = translateKey(posted);
        FUZZ_CHECK(stroke.keyCode == virtualKey);
        if (shifted)
            FUZZ_CHECK(stroke.shift & ShiftBit);
    }
}

const QStringList& allTableTexts() {
    static const QStringList texts = [] {
        QStringList all;
        for (int keyCode = 0; keyCode <= 255; ++keyCode) {
            for (const auto group : {KeyNameTable::Group::Plain, KeyNameTable::Group::Shifted,
                                     KeyNameTable::Group::Modifier}) {
                if (const auto entry = KeyNameTable::find(group, keyCode)) {
                    all << entry->name;
                    if (entry->reading)
                        all << *entry->reading;
                }
            }
        }
        return all;
    }();
    return texts;
}

KeyTexts shownBefore(uint8_t choice) {
    switch (choice % 4) {
    case 0:
        return {};
    case 1:
        return {QStringLiteral("Ｆ１"), QStringLiteral("ﾌｧﾝｸｼｮﾝ1")};
    case 2:
        return {QString(), QStringLiteral("ゼロ")}; // after Shift+0
    default:
        return {QStringLiteral("\\"), QStringLiteral("円マーク")};
    }
}

void checkLookUp(int keyCode, int shift, const KeyTexts& shown) {
    const auto group = KeyNameTable::groupForShift(shift);
    FUZZ_CHECK(group.has_value() == (shift == 0 || shift == ShiftBit));
    const auto entry = group ? KeyNameTable::find(*group, keyCode) : std::nullopt;
    const auto modifier = KeyNameTable::find(KeyNameTable::Group::Modifier, keyCode);
    // Only virtual-key codes are in the table.
    if (keyCode < 0 || keyCode > 255) {
        FUZZ_CHECK(!entry && !modifier);
        for (const auto g : {KeyNameTable::Group::Plain, KeyNameTable::Group::Shifted})
            FUZZ_CHECK(!KeyNameTable::find(g, keyCode));
    }

    const KeyTexts result = KeyNameTable::lookUp(keyCode, shift, shown);
    if (!entry && !modifier) {
        FUZZ_CHECK(result == shown); // a key found nowhere leaves the texts as they were
        return;
    }
    // A key that is found is named: only Shift+0 blanks the name.
    const bool shiftZero = keyCode == vk::Digit0 && shift == ShiftBit;
    FUZZ_CHECK(!result.name.isEmpty() || shiftZero);
    FUZZ_CHECK(result.name.isEmpty() || allTableTexts().contains(result.name));
    FUZZ_CHECK(result.reading == shown.reading || allTableTexts().contains(result.reading));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Reader in(data, size);
    RawKey key;
    key.qtKey = in.take<int32_t>();
    key.modifiers = Qt::KeyboardModifiers::fromInt(static_cast<int>(in.take<uint32_t>()));
    key.nativeScanCode = in.take<uint32_t>();
    key.nativeModifiers = in.take<uint32_t>();
    const auto flags = in.take<uint8_t>();
    key.x11 = flags & 1;
    key.wayland = flags & 2;
    const int ownKeyCode = in.take<int32_t>();
    const int ownShift = in.take<int32_t>();
    const KeyTexts shown = shownBefore(in.take<uint8_t>());

    const KeyStroke stroke = translateKey(key);
    checkStroke(key, stroke);
    checkWhatCounts(key, stroke);
    checkSynthesizedKey(stroke.keyCode);
    checkSynthesizedKey(ownKeyCode);

    // The key guide looks up what the translation gives, and the table must also stand codes
    // and shift states that no translation gives.
    checkLookUp(stroke.keyCode, stroke.shift, shown);
    checkLookUp(ownKeyCode, ownShift, shown);
    return 0;
}

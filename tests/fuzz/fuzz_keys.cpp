// libFuzzer target: arbitrary key events through the key translation and the key guide's name
// lookup. Whatever the event, the translation gives a virtual-key code and shift bits the
// windows can handle, the keys the program synthesizes come back as themselves, and the lookup
// finds entries only in the groups the shift state allows, each naming its key.
//
// Input layout (little-endian, missing bytes read as 0, extra bytes ignored):
//   int32 Qt key, uint32 Qt modifiers, uint32 X keycode, uint32 X state, uint8 flags (bit 0:
//   from X11, bit 1: a Wayland keycode), int32 key code and int32 shift state for a lookup of
//   their own.

#include "FuzzCheck.h"

#include "keyguide/KeyNameTable.h"
#include "platform/KeyTranslation.h"

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

bool isModifierKey(int keyCode) {
    return keyCode == vk::Shift || keyCode == vk::Ctrl || keyCode == vk::Alt;
}

// A found entry names its key: only Shift+0, which gives no character, blanks the name and
// keeps the reading shown before.
void checkEntry(const KeyNameEntry& entry, bool shiftZero) {
    FUZZ_CHECK(entry.name.isEmpty() == shiftZero);
    FUZZ_CHECK(entry.reading.has_value() != shiftZero);
}

void checkLookUp(int keyCode, int shift) {
    const KeyNameTable::Found found = KeyNameTable::lookUp(keyCode, shift);
    // The first step looks in the plain group with no shift bit, in the shifted group with
    // Shift alone, and nowhere with Ctrl, Alt or anything else.
    if (found.first) {
        using G = KeyNameTable::Group;
        FUZZ_CHECK(shift == 0 || shift == ShiftBit);
        FUZZ_CHECK(found.first->group == (shift == 0 ? G::Plain : G::Shifted));
        checkEntry(found.first->entry, keyCode == vk::Digit0 && shift == ShiftBit);
        // What the window shows is what the table lists for the key.
        FUZZ_CHECK(KeyNameTable::find(found.first->group, keyCode) == found.first->entry);
    }
    // The modifier step names the modifier keys themselves, whatever is held.
    FUZZ_CHECK(found.modifier.has_value() == isModifierKey(keyCode));
    if (found.modifier)
        checkEntry(*found.modifier, false);
    // Only virtual-key codes are in the table.
    if (keyCode < 0 || keyCode > 255)
        FUZZ_CHECK(!found.first);
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

    const KeyStroke stroke = translateKey(key);
    checkStroke(key, stroke);
    checkWhatCounts(key, stroke);
    checkSynthesizedKey(stroke.keyCode);
    checkSynthesizedKey(ownKeyCode);

    // The key guide looks up what the translation gives, and the table must also stand codes
    // and shift states that no translation gives.
    checkLookUp(stroke.keyCode, stroke.shift);
    checkLookUp(ownKeyCode, ownShift);
    return 0;
}

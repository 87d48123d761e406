#include "KeyTranslation.h"

#include "WindowSystem.h"

#include <QGuiApplication>
#include <QKeyEvent>

#include <array>
#include <utility>

namespace tokotoko {
namespace {

// X keycodes (evdev + 8) of the keys whose virtual-key code follows the physical key, as a
// JIS keyboard on Windows reports them (docs/jis-keys.md lists every key); `withShift`, when not 0,
// is the code with Shift held.
struct PhysicalKey {
    quint32 keycode;
    int plain;
    int withShift = 0;
};

constexpr std::array kX11PhysicalKeys{std::to_array<PhysicalKey>({
    // The digit row: Shift+digit arrives as "!", "\"", ..., Shift+0 as "~".
    {10, vk::Digit1},
    {11, vk::Digit2},
    {12, vk::Digit3},
    {13, vk::Digit4},
    {14, vk::Digit5},
    {15, vk::Digit6},
    {16, vk::Digit7},
    {17, vk::Digit8},
    {18, vk::Digit9},
    {19, vk::Digit0},
    // The JIS symbol keys: their characters say little about which key it was (a backslash
    // comes from both the yen key and the ろ key, "~" from both ^ and Shift+0).
    {20, vk::Minus},
    {21, vk::Caret},
    {34, vk::At},
    {35, vk::BracketLeft},
    {47, vk::Semicolon},
    {48, vk::Colon},
    {51, vk::BracketRight},
    {59, vk::Comma},
    {60, vk::Period},
    {61, vk::Slash},
    {97, vk::Ro},
    {132, vk::Yen},
    // The Japanese keys. 半角/全角 is the key the input method takes (229).
    {49, vk::ImeProcessed},
    {93, vk::ImeProcessed},       // ZENKAKUHANKAKU, on keyboards that report it so
    {66, vk::Eisu, vk::CapsLock}, // Shift+英数 is Caps Lock
    {100, vk::Convert},
    {101, vk::KatakanaHiragana},
    {102, vk::NonConvert},
    {133, vk::LeftWindows},
    {134, vk::RightWindows},
    {135, vk::Application},
    // The modifiers: Alt arrives as Meta when Shift is held on the jp layout.
    {64, vk::Alt},
    {108, vk::Alt},
    {37, vk::Ctrl},
    {105, vk::Ctrl},
    {50, vk::Shift},
    {62, vk::Shift},
    // PrintScreen (Sys_Req with Alt). Windows calls it 44 and hardly ever reports its key
    // down; here it gets the code the key guide names "Prentscreen", so the learner sees it.
    {107, vk::Print},
})};

int physicalKeyCode(quint32 scanCode, bool shifted) {
    for (const PhysicalKey& key : kX11PhysicalKeys) {
        if (key.keycode == scanCode)
            return shifted && key.withShift != 0 ? key.withShift : key.plain;
    }
    return 0;
}

int keypadKeyCode(int qtKey) {
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return vk::Numpad0 + (qtKey - Qt::Key_0);
    switch (qtKey) {
    case Qt::Key_Asterisk:
        return vk::Multiply;
    case Qt::Key_Plus:
        return vk::Add;
    case Qt::Key_Minus:
        return vk::Subtract;
    case Qt::Key_Period:
    case Qt::Key_Comma:
        return vk::Decimal;
    case Qt::Key_Slash:
        return vk::Divide;
    case Qt::Key_Equal:
        return 0;
    default:
        return -1; // navigation keys: same codes as the dedicated keys
    }
}

int symbolKeyCode(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Exclam:
        return vk::Digit1;
    case Qt::Key_QuoteDbl:
        return vk::Digit2;
    case Qt::Key_NumberSign:
        return vk::Digit3;
    case Qt::Key_Dollar:
        return vk::Digit4;
    case Qt::Key_Percent:
        return vk::Digit5;
    case Qt::Key_Ampersand:
        return vk::Digit6;
    case Qt::Key_Apostrophe:
        return vk::Digit7;
    case Qt::Key_ParenLeft:
        return vk::Digit8;
    case Qt::Key_ParenRight:
        return vk::Digit9;
    case Qt::Key_Colon:
    case Qt::Key_Asterisk:
        return vk::Colon;
    case Qt::Key_Semicolon:
    case Qt::Key_Plus:
        return vk::Semicolon;
    case Qt::Key_Comma:
    case Qt::Key_Less:
        return vk::Comma;
    case Qt::Key_Minus:
    case Qt::Key_Equal:
        return vk::Minus;
    case Qt::Key_Period:
    case Qt::Key_Greater:
        return vk::Period;
    case Qt::Key_Slash:
    case Qt::Key_Question:
        return vk::Slash;
    case Qt::Key_At:
    case Qt::Key_QuoteLeft:
        return vk::At;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft:
        return vk::BracketLeft;
    case Qt::Key_yen:
    case Qt::Key_Bar:
        return vk::Yen;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight:
        return vk::BracketRight;
    case Qt::Key_AsciiCircum:
    case Qt::Key_AsciiTilde:
        return vk::Caret;
    case Qt::Key_Backslash:
    case Qt::Key_Underscore:
        return vk::Ro;
    default:
        return 0;
    }
}

int functionKeyCode(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Backspace:
        return vk::Backspace;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return vk::Tab;
    case Qt::Key_Clear:
        return vk::Clear;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return vk::Enter;
    case Qt::Key_Shift:
        return vk::Shift;
    case Qt::Key_Control:
        return vk::Ctrl;
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
        return vk::Alt;
    case Qt::Key_Pause:
        return vk::Pause;
    case Qt::Key_CapsLock:
        return vk::CapsLock;
    case Qt::Key_Escape:
        return vk::Escape;
    case Qt::Key_Space:
        return vk::Space;
    case Qt::Key_PageUp:
        return vk::PageUp;
    case Qt::Key_PageDown:
        return vk::PageDown;
    case Qt::Key_End:
        return vk::End;
    case Qt::Key_Home:
        return vk::Home;
    case Qt::Key_Left:
        return vk::Left;
    case Qt::Key_Up:
        return vk::Up;
    case Qt::Key_Right:
        return vk::Right;
    case Qt::Key_Down:
        return vk::Down;
    case Qt::Key_Print:
        return vk::Print;
    case Qt::Key_Insert:
        return vk::Insert;
    case Qt::Key_Delete:
        return vk::Delete;
    case Qt::Key_Help:
        return vk::Help;
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
        return vk::LeftWindows;
    case Qt::Key_Super_R:
        return vk::RightWindows;
    case Qt::Key_Menu:
        return vk::Application;
    case Qt::Key_NumLock:
        return vk::NumLock;
    case Qt::Key_ScrollLock:
        return vk::ScrollLock;
    case Qt::Key_Zenkaku_Hankaku:
    case Qt::Key_Zenkaku:
    case Qt::Key_Hankaku:
        return vk::ImeProcessed;
    case Qt::Key_Muhenkan:
        return vk::NonConvert;
    case Qt::Key_Henkan:
        return vk::Convert;
    case Qt::Key_Hiragana_Katakana:
    case Qt::Key_Hiragana:
    case Qt::Key_Katakana:
        return vk::KatakanaHiragana;
    case Qt::Key_Eisu_toggle:
    case Qt::Key_Eisu_Shift:
        return vk::Eisu;
    default:
        return 0;
    }
}

int qtKeyCode(int qtKey, Qt::KeyboardModifiers modifiers) {
    if (modifiers & Qt::KeypadModifier) {
        const int keypad = keypadKeyCode(qtKey);
        if (keypad >= 0)
            return keypad;
    }
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return vk::LetterA + (qtKey - Qt::Key_A);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return vk::Digit0 + (qtKey - Qt::Key_0);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return vk::F1 + (qtKey - Qt::Key_F1);
    if (const int symbol = symbolKeyCode(qtKey))
        return symbol;
    return functionKeyCode(qtKey);
}

// X state mask bits: ShiftMask 1, ControlMask 4, Mod1Mask 8 (Alt, and Meta on the jp layout),
// Mod2Mask 0x10 (Num Lock).
constexpr quint32 kX11NumLock = 0x10;

int shiftFromX11State(quint32 state) {
    return ((state & 0x1U) ? ShiftBit : 0) | ((state & 0x4U) ? CtrlBit : 0) |
           ((state & 0x8U) ? AltBit : 0);
}

int shiftFromQt(Qt::KeyboardModifiers modifiers) {
    return ((modifiers & Qt::ShiftModifier) ? ShiftBit : 0) |
           ((modifiers & Qt::ControlModifier) ? CtrlBit : 0) |
           ((modifiers & Qt::AltModifier) ? AltBit : 0);
}

// The keypad's navigation keys (Num Lock on, Shift held): Windows lets go of Shift for them.
bool isKeypadNavigation(int keyCode) {
    switch (keyCode) {
    case vk::Clear:
    case vk::PageUp:
    case vk::PageDown:
    case vk::End:
    case vk::Home:
    case vk::Left:
    case vk::Up:
    case vk::Right:
    case vk::Down:
    case vk::Insert:
    case vk::Delete:
        return true;
    default:
        return false;
    }
}

// A modifier key's own press carries its bit, as Windows reports it.
int ownShiftBit(int keyCode) {
    switch (keyCode) {
    case vk::Shift:
        return ShiftBit;
    case vk::Ctrl:
        return CtrlBit;
    case vk::Alt:
        return AltBit;
    default:
        return 0;
    }
}

// The Wayland keycode's say: a key symbol whose code a JIS key shares with another key is
// settled by the keycode; any other symbol stands for itself.
bool sharesSymbol(int physical, int fromSymbol) {
    return (physical == vk::Yen && fromSymbol == vk::Ro) ||        // backslash
           (physical == vk::Digit0 && fromSymbol == vk::Caret) ||  // "~"
           (physical == vk::Alt && fromSymbol == vk::LeftWindows); // Meta
}

int waylandKeyCode(const RawKey& key, bool shifted) {
    const int fromSymbol = qtKeyCode(key.qtKey, key.modifiers);
    const int physical = physicalKeyCode(key.nativeScanCode, shifted);
    return sharesSymbol(physical, fromSymbol) ? physical : fromSymbol;
}

} // namespace

KeyStroke translateKey(const RawKey& key) {
    KeyStroke stroke;
    const bool native = key.x11 && key.nativeScanCode != 0;
    stroke.shift = native ? shiftFromX11State(key.nativeModifiers) : shiftFromQt(key.modifiers);
    if (native)
        stroke.keyCode = physicalKeyCode(key.nativeScanCode, stroke.shift & ShiftBit);
    else if (key.wayland && key.nativeScanCode != 0)
        stroke.keyCode = waylandKeyCode(key, stroke.shift & ShiftBit);
    if (stroke.keyCode == 0)
        stroke.keyCode = qtKeyCode(key.qtKey, key.modifiers);
    // Backtab carries Shift even where the modifiers lost it.
    if (key.qtKey == Qt::Key_Backtab)
        stroke.shift |= ShiftBit;
    stroke.shift |= ownShiftBit(stroke.keyCode);
    // Shift with a keypad digit key and Num Lock on gives the navigation key, and Windows
    // reports it with Shift let go.
    if (native && (key.modifiers & Qt::KeypadModifier) && (key.nativeModifiers & kX11NumLock) &&
        isKeypadNavigation(stroke.keyCode))
        stroke.shift &= ~ShiftBit;
    return stroke;
}

KeyStroke translateKey(const QKeyEvent& event) {
    if (!onWayland())
        return translateKey(event, QGuiApplication::platformName() == QLatin1String("xcb"));
    RawKey key;
    key.qtKey = event.key();
    key.modifiers = event.modifiers();
    key.nativeScanCode = event.nativeScanCode();
    key.wayland = true;
    return translateKey(key);
}

KeyStroke translateKey(const QKeyEvent& event, bool fromX11) {
    RawKey key;
    key.qtKey = event.key();
    key.modifiers = event.modifiers();
    key.nativeScanCode = event.nativeScanCode();
    key.nativeModifiers = event.nativeModifiers();
    key.x11 = fromX11;
    return translateKey(key);
}

Qt::Key qtKeyForVirtualKey(int virtualKey, bool shifted) {
    if (virtualKey >= vk::LetterA && virtualKey <= vk::LetterZ)
        return Qt::Key(Qt::Key_A + (virtualKey - vk::LetterA));
    if (virtualKey >= vk::Digit0 && virtualKey <= vk::Digit9)
        return Qt::Key(Qt::Key_0 + (virtualKey - vk::Digit0));
    if (virtualKey >= vk::F1 && virtualKey <= vk::F24)
        return Qt::Key(Qt::Key_F1 + (virtualKey - vk::F1));
    switch (virtualKey) {
    case vk::Tab:
        return shifted ? Qt::Key_Backtab : Qt::Key_Tab;
    case vk::Backspace:
        return Qt::Key_Backspace;
    case vk::Enter:
        return Qt::Key_Return;
    case vk::Shift:
        return Qt::Key_Shift;
    case vk::Ctrl:
        return Qt::Key_Control;
    case vk::Alt:
        return Qt::Key_Alt;
    case vk::Escape:
        return Qt::Key_Escape;
    case vk::Space:
        return Qt::Key_Space;
    case vk::Left:
        return Qt::Key_Left;
    case vk::Up:
        return Qt::Key_Up;
    case vk::Right:
        return Qt::Key_Right;
    case vk::Down:
        return Qt::Key_Down;
    case vk::LeftWindows:
        return Qt::Key_Meta;
    case vk::Application:
        return Qt::Key_Menu;
    default:
        return Qt::Key_unknown;
    }
}

} // namespace tokotoko

#pragma once

#include <Qt>
#include <QtGlobal>

class QKeyEvent;

namespace tokotoko {

// Virtual-key codes and shift bits as a JIS keyboard on Windows reports them; every key
// handler of the program is written in these terms.
namespace vk {
inline constexpr int Backspace = 8;
inline constexpr int Tab = 9;
inline constexpr int Clear = 12;
inline constexpr int Enter = 13;
inline constexpr int Shift = 16;
inline constexpr int Ctrl = 17;
inline constexpr int Alt = 18;
inline constexpr int Pause = 19;
inline constexpr int CapsLock = 20;
inline constexpr int Convert = 28;    // 変換
inline constexpr int NonConvert = 29; // 無変換
inline constexpr int Escape = 27;
inline constexpr int Space = 32;
inline constexpr int PageUp = 33;
inline constexpr int PageDown = 34;
inline constexpr int End = 35;
inline constexpr int Home = 36;
inline constexpr int Left = 37;
inline constexpr int Up = 38;
inline constexpr int Right = 39;
inline constexpr int Down = 40;
inline constexpr int Print = 42;
inline constexpr int Insert = 45;
inline constexpr int Delete = 46;
inline constexpr int Help = 47;
inline constexpr int Digit0 = 48;  // main-row digits 48 to 57
inline constexpr int LetterA = 65; // letters 65 to 90
inline constexpr int LeftWindows = 91;
inline constexpr int RightWindows = 92;
inline constexpr int Application = 93;
inline constexpr int Numpad0 = 96; // keypad digits 96 to 105
inline constexpr int Multiply = 106;
inline constexpr int Add = 107;
inline constexpr int Subtract = 109;
inline constexpr int Decimal = 110;
inline constexpr int Divide = 111;
inline constexpr int F1 = 112; // F1 to F24: 112 to 135
inline constexpr int F10 = 121;
inline constexpr int NumLock = 144;
inline constexpr int ScrollLock = 145;
inline constexpr int Colon = 186;     // the ":" key
inline constexpr int Semicolon = 187; // the ";" key
inline constexpr int Comma = 188;
inline constexpr int Minus = 189;
inline constexpr int Period = 190;
inline constexpr int Slash = 191;
inline constexpr int At = 192; // the "@" key
inline constexpr int BracketLeft = 219;
inline constexpr int Yen = 220; // top row, left of Backspace
inline constexpr int BracketRight = 221;
inline constexpr int Caret = 222;        // the "^" key
inline constexpr int Ro = 226;           // bottom row "\" (ろ)
inline constexpr int ImeProcessed = 229; // 半角/全角
inline constexpr int Eisu = 240;         // 英数 / Caps Lock
inline constexpr int KatakanaHiragana = 242;
} // namespace vk

// Shift-state bits.
inline constexpr int ShiftBit = 1;
inline constexpr int CtrlBit = 2;
inline constexpr int AltBit = 4;

struct KeyStroke {
    int keyCode = 0; // 0: no virtual-key code for this key
    int shift = 0;
    friend bool operator==(const KeyStroke&, const KeyStroke&) = default;
};

// What a key event carries, apart from the event itself (so tests and fuzzers can build it).
struct RawKey {
    int qtKey = 0;
    Qt::KeyboardModifiers modifiers;
    quint32 nativeScanCode = 0;  // X11/Wayland: the X keycode (evdev code + 8); 0 when unknown
    quint32 nativeModifiers = 0; // X11: the X state mask before the key
    bool x11 = false;            // whether the native fields come from X11
    bool wayland = false;        // whether the keycode comes from a Wayland keymap
};

// Physical keys are told apart by their X keycode where the Qt key alone is ambiguous (the
// yen key and the ろ key, the digit row under Shift, Alt under Shift) or missing (the
// Japanese keys); everything else, and every event made by the program or a test, is
// translated from Qt's key and modifiers. The shift state is the X state before the key
// (Caps Lock and Num Lock are not shift bits) where there is one, plus the own bit of a
// Shift, Ctrl or Alt key pressed; the keypad's navigation keys reached with Shift under
// Num Lock come without Shift, as Windows reports them.
// On Wayland a virtual keyboard (on-screen keyboard, remote desktop, wtype) brings a keymap
// of its own whose keycodes name no physical key, so there the keycode only decides between
// the JIS keys that share a key symbol (yen and ろ, Shift+0 and Shift+^, Alt and Shift+Alt);
// everything else is translated from Qt's key and modifiers.
KeyStroke translateKey(const RawKey& key);
KeyStroke translateKey(const QKeyEvent& event);
// The same for an event known to come from X11 (`fromX11`) or not, whatever the platform.
KeyStroke translateKey(const QKeyEvent& event, bool fromX11);

// The Qt key that stands for a virtual-key code, for synthesized events; Qt::Key_unknown
// when there is none. `shifted` picks Backtab for Tab.
Qt::Key qtKeyForVirtualKey(int virtualKey, bool shifted);

} // namespace tokotoko

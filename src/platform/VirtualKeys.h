#pragma once

// Virtual-key codes and shift bits as a JIS keyboard on Windows reports them; every key
// handler of the program is written in these terms. Which physical key gives which code is
// listed in docs/jis-keys.md.

namespace tokotoko {

namespace vk {
inline constexpr int Backspace = 8;
inline constexpr int Tab = 9;
inline constexpr int Clear = 12; // keypad 5 with Num Lock off
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
inline constexpr int Print = 42; // PrintScreen, as the program reports it
inline constexpr int Insert = 45;
inline constexpr int Delete = 46;
inline constexpr int Help = 47;
// The main-row digits, 48 to 57.
inline constexpr int Digit0 = 48;
inline constexpr int Digit1 = 49;
inline constexpr int Digit2 = 50;
inline constexpr int Digit3 = 51;
inline constexpr int Digit4 = 52;
inline constexpr int Digit5 = 53;
inline constexpr int Digit6 = 54;
inline constexpr int Digit7 = 55;
inline constexpr int Digit8 = 56;
inline constexpr int Digit9 = 57;
// The letters, 65 to 90.
inline constexpr int LetterA = 65;
inline constexpr int LetterZ = 90;
inline constexpr int LeftWindows = 91;
inline constexpr int RightWindows = 92;
inline constexpr int Application = 93;
// The keypad's digits with Num Lock on, 96 to 105.
inline constexpr int Numpad0 = 96;
inline constexpr int Numpad9 = 105;
inline constexpr int Multiply = 106; // keypad *
inline constexpr int Add = 107;      // keypad +
inline constexpr int Subtract = 109; // keypad -
inline constexpr int Decimal = 110;  // keypad .
inline constexpr int Divide = 111;   // keypad /
// The function keys F1 to F24, 112 to 135.
inline constexpr int F1 = 112;
inline constexpr int F4 = 115;
inline constexpr int F10 = 121;
inline constexpr int F12 = 123;
inline constexpr int F24 = 135;
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

} // namespace tokotoko

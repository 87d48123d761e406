#pragma once

#include "VirtualKeys.h"

#include <Qt>
#include <QtGlobal>

class QKeyEvent;

namespace tokotoko {

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

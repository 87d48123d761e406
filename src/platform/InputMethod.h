#pragma once

class QWidget;

namespace tokotoko {

class InputBox;

// The desktop's input method (kana-kanji conversion).
class InputMethod {
public:
    virtual ~InputMethod() = default;
    // Keys reach `window` as plain keys: its input method is closed and it never composes.
    virtual void switchOff(QWidget* window) = 0;
    // Japanese hiragana input is switched on whenever `box` becomes ready for typing (it gets
    // the focus, or is unlocked while it has it).
    virtual void useHiragana(InputBox& box) = 0;
    // `box` takes plain half-width characters with no composition.
    virtual void useAlphanumeric(InputBox& box) = 0;
};

} // namespace tokotoko

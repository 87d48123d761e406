#pragma once

#include <QLineEdit>

namespace tokotoko {

// The input box of the text windows: a one-line text box whose input-method use is set by
// the platform layer. With composition allowed it takes committed text from the input method;
// without it the input method is bypassed and the box takes plain half-width characters. It
// says when it becomes ready for typing, so that the input method can be switched then.
class InputBox : public QLineEdit {
    Q_OBJECT
public:
    explicit InputBox(QWidget* parent = nullptr);

    void setCompositionAllowed(bool allowed);
    bool compositionAllowed() const { return m_compositionAllowed; }

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

Q_SIGNALS:
    // The box can be typed into now: it got the focus, or it was unlocked while it had it.
    void readyForTyping();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    // A practice line may hold a tab: Tab types one here (nothing else in the window takes the
    // focus) instead of leaving the box with the learner stuck on that line.
    bool focusNextPrevChild(bool next) override;
    // A locked (read-only) box takes nothing from the input method either; QLineEdit alone
    // would still insert committed text.
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    bool m_compositionAllowed = true;
};

} // namespace tokotoko

#pragma once

#include <QLineEdit>

namespace tokotoko {

// A one-line text box whose input-method use is set by the platform layer: with composition
// allowed it takes committed text from the input method; without it the input method is
// bypassed and the box takes plain half-width characters. It reports focus changes so that
// the input method can be switched while it has the focus.
class InputBox : public QLineEdit {
    Q_OBJECT
public:
    explicit InputBox(QWidget* parent = nullptr);

    void setCompositionAllowed(bool allowed);
    bool compositionAllowed() const { return m_compositionAllowed; }

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

Q_SIGNALS:
    void focusGained();

protected:
    void focusInEvent(QFocusEvent* event) override;
    // A locked (read-only) box takes nothing from the input method either; QLineEdit alone
    // would still insert committed text.
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    bool m_compositionAllowed = true;
};

} // namespace tokotoko

#include "InputBox.h"

#include <QFocusEvent>
#include <QInputMethodEvent>

namespace tokotoko {

InputBox::InputBox(QWidget* parent)
    : QLineEdit(parent) {}

void InputBox::setCompositionAllowed(bool allowed) {
    m_compositionAllowed = allowed;
    // QLineEdit answers ImEnabled itself, so the attribute alone is not enough; the query
    // below is what the input-method plugins ask.
    setAttribute(Qt::WA_InputMethodEnabled, allowed);
}

QVariant InputBox::inputMethodQuery(Qt::InputMethodQuery query) const {
    if (query == Qt::ImEnabled)
        return m_compositionAllowed && !isReadOnly();
    return QLineEdit::inputMethodQuery(query);
}

void InputBox::inputMethodEvent(QInputMethodEvent* event) {
    if (isReadOnly()) {
        event->ignore();
        return;
    }
    QLineEdit::inputMethodEvent(event);
}

void InputBox::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    Q_EMIT readyForTyping();
}

void InputBox::changeEvent(QEvent* event) {
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::ReadOnlyChange && !isReadOnly() && hasFocus())
        Q_EMIT readyForTyping();
}

bool InputBox::focusNextPrevChild(bool next) {
    if (!next)
        return QLineEdit::focusNextPrevChild(next);
    if (!isReadOnly())
        insert(QStringLiteral("\t"));
    return true;
}

} // namespace tokotoko

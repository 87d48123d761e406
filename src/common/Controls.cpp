#include "Controls.h"

#include "drawing/LargeText.h"

#include <QPainter>

namespace tokotoko {

void setColors(QWidget* widget, const QColor& text, const QColor& background, bool opaque) {
    QPalette palette = widget->palette();
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, text);
    for (const auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
        palette.setColor(role, background);
    widget->setPalette(palette);
    widget->setAutoFillBackground(opaque);
}

QLabel* makeLabel(QWidget* parent, const QString& name, const QFont& font, const QColor& text,
                  Qt::Alignment alignment) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setFont(font);
    label->setAlignment(alignment);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, text);
    label->setPalette(palette);
    label->setAutoFillBackground(false);
    label->setFocusPolicy(Qt::NoFocus);
    return label;
}

void setCaption(QLabel* label, const QString& text) {
    setCentredLine(label, text);
    label->setAccessibleDescription(text);
}

Shape::Shape(QWidget* parent, const QString& name, const QColor& fill)
    : QWidget(parent)
    , m_fill(fill) {
    setObjectName(name);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Shape::setFillColor(const QColor& fill) {
    if (fill == m_fill)
        return;
    m_fill = fill;
    update();
}

void Shape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), m_fill);
}

} // namespace tokotoko

#pragma once

#include <QColor>
#include <QString>

class QFont;
class QLabel;
class QWidget;

namespace tokotoko::fingers {

// A transparent label named `name` whose accessible name says what it shows ("打つキー");
// what it shows now is its accessible description, kept up to date by setCaption.
QLabel* makeDrillLabel(QWidget* parent, const QString& name, const QString& accessibleName,
                       const QFont& font, const QColor& text, Qt::Alignment alignment);

// Sets a label's text and tells assistive technology about it.
void setCaption(QLabel* label, const QString& text);

} // namespace tokotoko::fingers

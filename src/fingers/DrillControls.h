#pragma once

#include <QColor>
#include <QString>

class QFont;
class QLabel;
class QWidget;

namespace tokotoko::fingers {

// A transparent label named `name` whose accessible name says what it shows ("打つキー");
// what it shows now is its accessible description, kept up to date by setCaption
// (common/Controls.h).
QLabel* makeDrillLabel(QWidget* parent, const QString& name, const QString& accessibleName,
                       const QFont& font, const QColor& text, Qt::Alignment alignment);

} // namespace tokotoko::fingers

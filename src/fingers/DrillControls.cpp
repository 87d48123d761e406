#include "DrillControls.h"

#include "common/Controls.h"

#include <QLabel>

namespace tokotoko::fingers {

QLabel* makeDrillLabel(QWidget* parent, const QString& name, const QString& accessibleName,
                       const QFont& font, const QColor& text, Qt::Alignment alignment) {
    QLabel* label = makeLabel(parent, name, font, text, alignment);
    if (!accessibleName.isEmpty())
        label->setAccessibleName(accessibleName);
    return label;
}

} // namespace tokotoko::fingers

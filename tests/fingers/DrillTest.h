#pragma once

// Small helpers shared by the finger drill window tests.

#include "FormTest.h"

#include <QAction>
#include <QLabel>

namespace tokotoko::test {

template <typename Control> Control* control(const FormWindow& form, const char* name) {
    return control<Control>(form, QString::fromLatin1(name));
}

inline QLabel* label(FormWindow& form, const char* name) {
    return control<QLabel>(form, name);
}

inline QString caption(FormWindow& form, const char* name) {
    const QLabel* found = label(form, name);
    return found ? found->text() : QStringLiteral("<missing %1>").arg(QLatin1String(name));
}

// Whether a control is shown on the loaded window (not merely not hidden itself).
inline bool shown(FormWindow& form, const char* name) {
    const QWidget* found = control<QWidget>(form, name);
    return found && found->isVisibleTo(&form);
}

inline QAction* action(FormWindow& form, const char* name) {
    return control<QAction>(form, name);
}

} // namespace tokotoko::test

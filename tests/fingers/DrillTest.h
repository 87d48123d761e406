#pragma once

// Small helpers shared by the finger drill window tests.

#include "common/FormWindow.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QTest>

namespace tokotoko::test {

// A control of the loaded window (never one of the controls an unloading discarded).
template <typename Control> Control* control(FormWindow& form, const char* name) {
    const QString objectName = QString::fromLatin1(name);
    Control* found = nullptr;
    if (form.client())
        found = form.client()->findChild<Control*>(objectName);
    if (!found && form.formMenuBar())
        found = form.formMenuBar()->findChild<Control*>(objectName);
    if (!found)
        qWarning("no control %s", name);
    return found;
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

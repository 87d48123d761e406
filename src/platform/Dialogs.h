#pragma once

#include <QString>

class QWidget;

namespace tokotoko {

// Modal dialogs of the desktop.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // An information box with a single OK button; returns when it is closed.
    virtual void information(QWidget* parent, const QString& title, const QString& text) = 0;
    // A warning box with a single OK button, for problems the learner must know about.
    virtual void warning(QWidget* parent, const QString& title, const QString& text) = 0;
    // The Open-file dialog. `filter` uses the "description|pattern|" form; the dialog starts
    // from `startName` (a previously chosen path) or, when that is empty, in `startFolder`.
    // Returns the chosen path, or an empty string when the learner cancels.
    virtual QString openFile(QWidget* parent, const QString& filter, const QString& startName,
                             const QString& startFolder) = 0;
};

} // namespace tokotoko

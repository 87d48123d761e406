#include "HeldAltGuard.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>

namespace tokotoko {

HeldAltGuard::HeldAltGuard(std::function<bool()> screenReaderRuns, QObject* parent)
    : QObject(parent)
    , m_screenReaderRuns(std::move(screenReaderRuns)) {}

bool HeldAltGuard::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Show:
        if (auto* menu = qobject_cast<QMenu*>(watched);
            menu && QGuiApplication::keyboardModifiers().testFlag(Qt::AltModifier) &&
            m_screenReaderRuns())
            m_menu = menu;
        return false;
    case QEvent::Hide:
        if (watched == m_menu)
            m_menu = nullptr;
        return false;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        if (!m_menu || watched != m_menu)
            return false;
        const auto* key = static_cast<const QKeyEvent*>(event);
        if (key->key() != Qt::Key_Alt)
            return false;
        m_menu = nullptr;
        // A held-back press is posted again by Qt, so it is not spontaneous; the release
        // comes after it, so a release means no late press is on its way any more.
        return event->type() == QEvent::KeyPress && !event->spontaneous();
    }
    default:
        return false;
    }
}

} // namespace tokotoko

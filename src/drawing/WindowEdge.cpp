#include "WindowEdge.h"

#include <QEvent>
#include <QWidget>

#include <cmath>

namespace tokotoko {
namespace {

constexpr double kMarginOfWindowWidth = 0.01;

} // namespace

int pastWindowEdge(const QWidget& widget) {
    const QWidget* window = widget.window();
    if (window == &widget)
        return 0;
    const int margin = int(std::lround(kMarginOfWindowWidth * window->width()));
    const int right = widget.mapTo(window, QPoint(widget.width(), 0)).x();
    return std::clamp(right - (window->width() - margin), 0, widget.width());
}

void keepTextInsideWindow(QWidget* widget, std::function<void(int)> fit) {
    new detail::WindowEdgeWatcher(widget, std::move(fit));
}

namespace detail {

WindowEdgeWatcher::WindowEdgeWatcher(QWidget* widget, std::function<void(int)> fit)
    : QObject(widget)
    , m_widget(widget)
    , m_fit(std::move(fit)) {
    widget->installEventFilter(this);
    watchWindow();
    refit();
}

void WindowEdgeWatcher::watchWindow() {
    QWidget* window = m_widget->window();
    if (window == m_window)
        return;
    if (m_window)
        m_window->removeEventFilter(this);
    m_window = window != m_widget ? window : nullptr;
    if (m_window)
        m_window->installEventFilter(this);
}

bool WindowEdgeWatcher::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == m_widget && type == QEvent::ParentChange)
        watchWindow();
    if (type == QEvent::Resize || type == QEvent::Move || type == QEvent::Show ||
        type == QEvent::ParentChange)
        refit();
    return false;
}

void WindowEdgeWatcher::refit() {
    const int past = pastWindowEdge(*m_widget);
    if (past == m_fitted)
        return;
    m_fitted = past;
    m_fit(past);
}

} // namespace detail
} // namespace tokotoko

#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;

namespace tokotoko {

// Text boxes laid out wider than what their window shows (they may start to the right and be
// as wide as the window) keep their text inside it: the box's rectangle stays as laid out, and
// the part of it past the window's right edge, with a margin before that edge, is left out of
// the text area. The margin is a hundredth of the window's width, like the layout's own units.
//
// How many pixels at the right of `widget` lie past that line; 0 when none do.
int pastWindowEdge(const QWidget& widget);

// Calls `fit` with pastWindowEdge(widget) now and whenever it may have changed: the widget
// moved, resized, shown or given another parent, or its window resized. Lives as long as the
// widget.
void keepTextInsideWindow(QWidget* widget, std::function<void(int)> fit);

namespace detail {

class WindowEdgeWatcher : public QObject {
    Q_OBJECT
public:
    WindowEdgeWatcher(QWidget* widget, std::function<void(int)> fit);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watchWindow();
    void refit();

    QWidget* m_widget;
    QPointer<QWidget> m_window;
    std::function<void(int)> m_fit;
    int m_fitted = -1;
};

} // namespace detail
} // namespace tokotoko

#pragma once

#include <QBasicTimer>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPalette>

#include <functional>
#include <memory>

class QTextLayout;

namespace tokotoko {

// The input box of the text windows: a one-line text box whose input-method use is set by
// the platform layer. With composition allowed it takes committed text from the input method;
// without it the input method is bypassed and the box takes plain half-width characters. It
// says when it becomes ready for typing, so that the input method can be switched then.
//
// Its type is large (80 points), beyond Qt's glyph cache: QLineEdit would refill the outline of
// every glyph on each key and each blink of the cursor. So QLineEdit keeps the text, the cursor
// and the selection, and the box lays out, scrolls and draws the line itself, with the
// selection, the composition and one cursor, from the glyph-image cache. Its text area ends
// before its window's right edge (keepTextInsideWindow), so the newest characters and the
// cursor stay in sight even where the box reaches past the window.
class InputBox : public QLineEdit {
    Q_OBJECT
public:
    explicit InputBox(QWidget* parent = nullptr);

    void setCompositionAllowed(bool allowed);
    bool compositionAllowed() const { return m_compositionAllowed; }

    // The colour the text is drawn in (the palette's own text colours are kept clear while the
    // box draws its large type itself).
    QColor textColour() const;
    // On by default; off leaves all drawing to QLineEdit.
    void setLargeTypeFromCache(bool on);

    // Where the box draws its cursor (when it is shown), and what it tells the input method.
    QRect drawnCursorRect() const;

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

Q_SIGNALS:
    // The box can be typed into now: it got the focus, or it was unlocked while it had it.
    void readyForTyping();
    // The box took an input method's event: the text committed, and the composition now shown.
    void inputMethodEventTaken(const QInputMethodEvent& event);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    // A practice line may hold a tab: Tab types one here (nothing else in the window takes the
    // focus) instead of leaving the box with the learner stuck on that line.
    bool focusNextPrevChild(bool next) override;
    // A locked (read-only) box takes nothing from the input method either; QLineEdit alone
    // would still insert committed text. A composition the learner cancelled stays cancelled
    // (see repeatsCancelledComposition).
    void inputMethodEvent(QInputMethodEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // A click or a drag lands on the character drawn under it: QLineEdit places it by its own
    // scroll, which stays where it was while the box draws and scrolls the line itself.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    bool repeatsCancelledComposition(const QInputMethodEvent& event) const;
    // The line as the box shows it now: laid out with the composition, and placed.
    struct View;
    View view() const;
    std::shared_ptr<const QTextLayout> laidOutLine() const;
    void layOutLine(QTextLayout& layout) const;
    QRect textArea() const;
    int compositionCursor(bool* hidden = nullptr) const;
    QRect changedPart(const View& before, const View& after) const;
    void drawCursor(QPainter& painter, const View& view) const;
    void drawBackgrounds(QPainter& painter, const View& view) const;
    void drawText(QPainter& painter, const View& view) const;
    void drawCompositionUnderline(QPainter& painter, const View& view) const;
    bool cursorDrawn() const;
    // Hands QLineEdit's `handler` the event moved to where QLineEdit believes the text lies.
    void asQLineEditPlacesText(QMouseEvent* event,
                               const std::function<void(QMouseEvent*)>& handler);
    void updateOwnDrawing();
    void keepInkColours();
    void showCursorAgain();

    bool m_compositionAllowed = true;
    bool m_fromCache = true;
    bool m_drawsOwnText = false;
    bool m_adjustingPalette = false;
    bool m_inInputMethodEvent = false;
    bool m_typing = false;          // in a key press that repaints only what it changed
    bool m_wholeBoxChanged = false; // and something in it asked for the whole box
    QPalette m_ink;                 // the real text colours
    QString m_preedit;
    QList<QInputMethodEvent::Attribute> m_preeditAttributes;
    QString m_cancelledComposition; // taken away by the input method without a commit
    quint64 m_compositions = 0;     // each composition the input method shows, counted
    // What the line was last laid out from, and the layout.
    struct LineKey {
        QString text;
        int cursor = -1;
        quint64 composition = 0;
        QFont font;
        Qt::LayoutDirection direction = Qt::LeftToRight;
        bool operator==(const LineKey&) const = default;
    };
    mutable LineKey m_laidOutKey;
    mutable std::shared_ptr<const QTextLayout> m_laidOut;
    QBasicTimer m_blink;
    bool m_cursorShown = true;
    // How far the line is scrolled: the text's left lies this far left of the line's area.
    // Kept from one view to the next, as QLineEdit does, so the line moves only when the cursor
    // would leave the area.
    mutable int m_scroll = 0;
};

} // namespace tokotoko

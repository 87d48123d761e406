#include "InputBox.h"

#include "LargeText.h"

#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleHints>
#include <QStyleOptionFrame>
#include <QTextCharFormat>
#include <QTextLayout>

namespace tokotoko {
namespace {

constexpr QPalette::ColorGroup kGroups[] = {QPalette::Active, QPalette::Inactive,
                                            QPalette::Disabled};
constexpr QPalette::ColorRole kInkRoles[] = {QPalette::Text, QPalette::HighlightedText};

// QLineEdit's cursor box reaches this far left of the cursor's x.
constexpr int kCursorBoxLead = 5;
// Pixels kept free on each side before a line counts as fitting the box.
constexpr int kFitSlack = 8;
// Qt splits a fill taller than 95 rows across its GUI thread pool and waits for the pool: for
// the cursor, a bar two pixels wide, the hand-over costs more than the fill. Inverted in bands
// no taller than this, the same pixels are drawn on this thread.
constexpr int kCursorBand = 64;

} // namespace

InputBox::InputBox(QWidget* parent)
    : QLineEdit(parent)
    , m_ink(palette()) {
    connect(this, &QLineEdit::textChanged, this, [this] {
        // Text set by the program ends any composition; the input method's own commits
        // arrive with the composition that follows them.
        if (!m_inInputMethodEvent) {
            m_preedit.clear();
            m_preeditAttributes.clear();
        }
        showCursorAgain();
    });
    connect(this, &QLineEdit::cursorPositionChanged, this, &InputBox::showCursorAgain);
    updateOwnDrawing();
}

void InputBox::setCompositionAllowed(bool allowed) {
    m_compositionAllowed = allowed;
    // QLineEdit answers ImEnabled itself, so the attribute alone is not enough; the query
    // below is what the input-method plugins ask.
    setAttribute(Qt::WA_InputMethodEnabled, allowed);
}

QColor InputBox::textColour() const {
    return m_ink.color(QPalette::Active, QPalette::Text);
}

void InputBox::setLargeTypeFromCache(bool on) {
    m_fromCache = on;
    updateOwnDrawing();
}

QVariant InputBox::inputMethodQuery(Qt::InputMethodQuery query) const {
    if (query == Qt::ImEnabled)
        return m_compositionAllowed && !isReadOnly();
    return QLineEdit::inputMethodQuery(query);
}

void InputBox::inputMethodEvent(QInputMethodEvent* event) {
    if (isReadOnly()) {
        event->ignore();
        return;
    }
    if (repeatsCancelledComposition(*event)) {
        m_cancelledComposition.clear();
        event->accept();
        return;
    }
    if (!m_preedit.isEmpty() && event->preeditString().isEmpty() && event->commitString().isEmpty())
        m_cancelledComposition = m_preedit;
    else if (!event->preeditString().isEmpty() || !event->commitString().isEmpty())
        m_cancelledComposition.clear();
    m_inInputMethodEvent = true;
    QLineEdit::inputMethodEvent(event);
    m_inInputMethodEvent = false;
    m_preedit = event->preeditString();
    m_preeditAttributes = event->attributes();
    m_wholeBoxChanged = true;
    update();
    Q_EMIT inputMethodEventTaken(*event);
}

// Qt's IBus plugin keeps a composition the input method hid (the learner's Escape) and commits
// it when the focus moves, though the input method committed nothing. A commit of exactly the
// text taken away, with no composition shown since, is that repetition.
bool InputBox::repeatsCancelledComposition(const QInputMethodEvent& event) const {
    return !m_cancelledComposition.isEmpty() && event.preeditString().isEmpty() &&
           event.commitString() == m_cancelledComposition && event.replacementLength() == 0;
}

void InputBox::focusInEvent(QFocusEvent* event) {
    m_wholeBoxChanged = true;
    QLineEdit::focusInEvent(event);
    showCursorAgain();
    Q_EMIT readyForTyping();
}

void InputBox::focusOutEvent(QFocusEvent* event) {
    m_wholeBoxChanged = true;
    QLineEdit::focusOutEvent(event);
    m_blink.stop();
    update();
}

void InputBox::changeEvent(QEvent* event) {
    m_wholeBoxChanged = true;
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::ReadOnlyChange && !isReadOnly() && hasFocus())
        Q_EMIT readyForTyping();
    if (event->type() == QEvent::PaletteChange && !m_adjustingPalette)
        keepInkColours();
    if (event->type() == QEvent::FontChange)
        updateOwnDrawing();
}

bool InputBox::focusNextPrevChild(bool next) {
    if (!next)
        return QLineEdit::focusNextPrevChild(next);
    if (!isReadOnly())
        insert(QStringLiteral("\t"));
    return true;
}

bool InputBox::largeType() const {
    return isLargeType(font(), this);
}

// While the box draws its text itself, QLineEdit's text colours are clear: it still lays the
// text out, scrolls it and draws the panel and the selection, but fills no glyph.
void InputBox::updateOwnDrawing() {
    m_drawsOwnText = m_fromCache && largeType();
    m_adjustingPalette = true;
    QPalette shown = palette();
    for (const auto group : kGroups)
        for (const auto role : kInkRoles)
            shown.setColor(group, role,
                           m_drawsOwnText ? QColor(Qt::transparent) : m_ink.color(group, role));
    setPalette(shown);
    m_adjustingPalette = false;
    update();
}

void InputBox::keepInkColours() {
    for (const auto group : kGroups)
        for (const auto role : kInkRoles) {
            const QColor colour = palette().color(group, role);
            if (!m_drawsOwnText || colour.alpha() != 0)
                m_ink.setColor(group, role, colour);
        }
    if (m_drawsOwnText)
        updateOwnDrawing();
}

void InputBox::showCursorAgain() {
    m_cursorShown = true;
    const int flashTime = QGuiApplication::styleHints()->cursorFlashTime();
    if (hasFocus() && flashTime > 0)
        m_blink.start(flashTime / 2, this);
}

void InputBox::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_blink.timerId()) {
        QLineEdit::timerEvent(event);
        return;
    }
    m_cursorShown = !m_cursorShown;
    update(cursorRect());
}

void InputBox::paintEvent(QPaintEvent* event) {
    if (!m_drawsOwnText) {
        QLineEdit::paintEvent(event);
        return;
    }

    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect contents = textArea();
    QTextLayout layout(displayText(), font());
    layOutLine(layout);
    const bool fits = lineFits(layout, contents);
    const bool plain = drawnPlain(layout, contents);
    QPainter painter(this);
    if (plain) {
        style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, this);
    } else {
        painter.end();
        QLineEdit::paintEvent(event);
        m_qtPaintedFitting = fits;
        painter.begin(this);
    }
    painter.setClipRect(contents);

    int preeditCursor = m_preedit.size();
    bool cursorHidden = false;
    for (const auto& attribute : m_preeditAttributes)
        if (attribute.type == QInputMethodEvent::Cursor) {
            preeditCursor = attribute.start;
            cursorHidden = attribute.length == 0;
        }
    const int cursorAt = cursorPosition() + preeditCursor;
    // QLineEdit's cursor box says where it puts the text.
    const QPointF topLeft(cursorRect().x() + kCursorBoxLead -
                              qRound(layout.lineAt(0).cursorToX(cursorAt)),
                          cursorRect().y());

    drawText(painter, layout, topLeft);
    drawCompositionUnderline(painter, layout, topLeft);
    if (m_cursorShown && m_blink.isActive() && !cursorHidden && !isReadOnly())
        drawCursor(painter, layout, topLeft, cursorAt,
                   style()->pixelMetric(QStyle::PM_TextCursorWidth, &option, this));
}

QRect InputBox::textArea() const {
    QStyleOptionFrame option;
    initStyleOption(&option);
    return style()
        ->subElementRect(QStyle::SE_LineEditContents, &option, this)
        .marginsRemoved(textMargins());
}

// The same one-line layout as QLineEdit's, with the composition at the cursor.
void InputBox::layOutLine(QTextLayout& layout) const {
    QTextOption textOption;
    textOption.setTextDirection(layoutDirection());
    textOption.setFlags(QTextOption::IncludeTrailingSpaces);
    layout.setTextOption(textOption);
    if (!m_preedit.isEmpty())
        layout.setPreeditArea(cursorPosition(), m_preedit);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
}

// While the line fits, QLineEdit never scrolls it, so its cursor box (below) stays true and
// the box paints its panel itself: QLineEdit would still turn every glyph into an outline,
// if only to fill it with nothing. Anything else (a scrolled line, a selection, a composition
// the input method coloured) is left to QLineEdit.
bool InputBox::drawnPlain(const QTextLayout& layout, const QRect& contents) const {
    return lineFits(layout, contents) && m_qtPaintedFitting && !hasSelectedText() &&
           !compositionColoured() && (alignment() & Qt::AlignLeft);
}

// Where the text starts: QLineEdit's cursor box says where it puts it.
qreal InputBox::textLeft(const QTextLayout& layout) const {
    return cursorRect().x() + kCursorBoxLead - qRound(layout.lineAt(0).cursorToX(cursorPosition()));
}

// A key that types or rubs out at the end of a line changes a glyph's width of the box, not
// the whole of it: the part from the first changed character (and the cursor's old and new
// places) to the longer line's end is all that is drawn again and sent to the screen.
void InputBox::keyPressEvent(QKeyEvent* event) {
    const QString before = displayText();
    QTextLayout layoutBefore(before, font());
    layOutLine(layoutBefore);
    const bool plainBefore =
        m_drawsOwnText && m_preedit.isEmpty() && !m_typing && drawnPlain(layoutBefore, textArea());
    if (!plainBefore) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const int cursorBefore = cursorPosition();
    const qreal leftBefore = textLeft(layoutBefore);
    m_typing = true;
    m_wholeBoxChanged = false;
    changeWithoutRepaint(this, [&] { QLineEdit::keyPressEvent(event); });
    m_typing = false;
    update(m_wholeBoxChanged ? rect() : changedPart(layoutBefore, cursorBefore, leftBefore));
}

QRect InputBox::changedPart(const QTextLayout& layoutBefore, int cursorBefore,
                            qreal leftBefore) const {
    const QString& before = layoutBefore.text();
    const QString after = displayText();
    QTextLayout layoutAfter(after, font());
    layOutLine(layoutAfter);
    if (!m_preedit.isEmpty() || !drawnPlain(layoutAfter, textArea()) ||
        qAbs(textLeft(layoutAfter) - leftBefore) > 0.5)
        return rect();
    qsizetype same = 0;
    while (same < before.size() && same < after.size() && before[same] == after[same])
        ++same;
    // One character more on the left: a pair may be kerned, and a glyph may lean over its
    // neighbour.
    const int from = int(std::max<qsizetype>(0, same - 1));
    const auto x = [&](const QTextLayout& layout, int position) {
        return leftBefore + layout.lineAt(0).cursorToX(position);
    };
    const qreal left = std::min(
        {x(layoutBefore, from), x(layoutBefore, cursorBefore), x(layoutAfter, cursorPosition())});
    const qreal right =
        std::max({x(layoutBefore, int(before.size())), x(layoutAfter, int(after.size())),
                  x(layoutBefore, cursorBefore), x(layoutAfter, cursorPosition())});
    const QFontMetrics metrics(font());
    const int overhang = std::max(0, -metrics.minLeftBearing()) +
                         std::max(0, -metrics.minRightBearing()) + kCursorBoxLead;
    return QRect(QPoint(int(left) - overhang, 0), QPoint(int(right) + overhang + 1, height() - 1))
        .intersected(rect());
}

void InputBox::drawCursor(QPainter& painter, const QTextLayout& layout, const QPointF& topLeft,
                          int cursorAt, int width) const {
    painter.setPen(m_ink.color(palette().currentColorGroup(), QPalette::Text));
    const QRect clip = painter.clipBoundingRect().toAlignedRect();
    for (int top = clip.top(); top <= clip.bottom(); top += kCursorBand) {
        painter.save();
        painter.setClipRect(QRect(clip.left(), top, clip.width(), kCursorBand), Qt::IntersectClip);
        layout.drawCursor(&painter, topLeft, cursorAt, width);
        painter.restore();
    }
}

// With room to spare, so that QLineEdit, which measures a little differently, agrees.
bool InputBox::lineFits(const QTextLayout& layout, const QRect& contents) const {
    const QFontMetrics metrics(font());
    const qreal bearings =
        std::max(0, -metrics.minLeftBearing()) + std::max(0, -metrics.minRightBearing());
    return layout.lineAt(0).naturalTextWidth() + bearings + 2 * kFitSlack <= contents.width();
}

bool InputBox::compositionColoured() const {
    for (const auto& attribute : m_preeditAttributes) {
        if (attribute.type != QInputMethodEvent::TextFormat)
            continue;
        const QTextCharFormat format = attribute.value.value<QTextFormat>().toCharFormat();
        if (format.hasProperty(QTextFormat::ForegroundBrush) ||
            format.hasProperty(QTextFormat::BackgroundBrush))
            return true;
    }
    return false;
}

// Each stretch of characters in its colour: selected text in the highlighted text colour, and
// composition text that the input method coloured itself left to QLineEdit.
void InputBox::drawText(QPainter& painter, const QTextLayout& layout,
                        const QPointF& topLeft) const {
    const auto group = palette().currentColorGroup();
    const QColor text = m_ink.color(group, QPalette::Text);
    const QColor selected = m_ink.color(group, QPalette::HighlightedText);
    const int length = layout.text().size() + m_preedit.size();
    QList<QColor> colours(length, text);
    if (m_preedit.isEmpty() && hasSelectedText())
        for (int i = selectionStart(); i < selectionEnd() && i < length; ++i)
            colours[i] = selected;
    for (const auto& attribute : m_preeditAttributes) {
        if (attribute.type != QInputMethodEvent::TextFormat)
            continue;
        const QTextCharFormat format = attribute.value.value<QTextFormat>().toCharFormat();
        if (!format.hasProperty(QTextFormat::ForegroundBrush))
            continue;
        for (int i = 0; i < attribute.length; ++i) {
            const int at = cursorPosition() + attribute.start + i;
            if (at >= 0 && at < length)
                colours[at] = QColor();
        }
    }
    for (int from = 0; from < length;) {
        int to = from + 1;
        while (to < length && colours[to] == colours[from])
            ++to;
        if (colours[from].isValid())
            drawLayoutFromCache(painter, layout, topLeft, colours[from], from, to - from);
        from = to;
    }
}

void InputBox::drawCompositionUnderline(QPainter& painter, const QTextLayout& layout,
                                        const QPointF& topLeft) const {
    const QTextLine line = layout.lineAt(0);
    const QFontMetricsF metrics(font());
    for (const auto& attribute : m_preeditAttributes) {
        if (attribute.type != QInputMethodEvent::TextFormat || attribute.length <= 0)
            continue;
        const QTextCharFormat format = attribute.value.value<QTextFormat>().toCharFormat();
        if (format.underlineStyle() == QTextCharFormat::NoUnderline)
            continue;
        QColor colour = format.underlineColor();
        if (!colour.isValid())
            colour = m_ink.color(palette().currentColorGroup(), QPalette::Text);
        const int from = cursorPosition() + attribute.start;
        const qreal left = line.cursorToX(from);
        const qreal right = line.cursorToX(from + attribute.length);
        const qreal y = topLeft.y() + line.ascent() + metrics.underlinePos();
        painter.fillRect(QRectF(topLeft.x() + std::min(left, right), y, std::abs(right - left),
                                metrics.lineWidth()),
                         colour);
    }
}

} // namespace tokotoko

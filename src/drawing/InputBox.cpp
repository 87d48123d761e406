#include "InputBox.h"

#include "LargeText.h"
#include "WindowEdge.h"

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

#include <memory>

namespace tokotoko {
namespace {

constexpr QPalette::ColorGroup kGroups[] = {QPalette::Active, QPalette::Inactive,
                                            QPalette::Disabled};
constexpr QPalette::ColorRole kInkRoles[] = {QPalette::Text, QPalette::HighlightedText};

// QLineEdit's margins round its line, kept so that the box shows its line where QLineEdit would.
constexpr int kHorizontalMargin = 2;
constexpr int kVerticalMargin = 1;
// Qt splits a fill taller than 95 rows across its GUI thread pool and waits for the pool: for
// the cursor, a bar a pixel or two wide, the hand-over costs more than the fill. Filled in
// bands no taller than this, the same pixels are drawn on this thread.
constexpr int kFillBand = 64;

void fillInBands(QPainter& painter, const QRect& rect, const QBrush& brush) {
    for (int top = rect.top(); top <= rect.bottom(); top += kFillBand)
        painter.fillRect(
            QRect(rect.left(), top, rect.width(), std::min(kFillBand, rect.bottom() + 1 - top)),
            brush);
}

QTextCharFormat formatOf(const QInputMethodEvent::Attribute& attribute) {
    return attribute.value.value<QTextFormat>().toCharFormat();
}

} // namespace

struct InputBox::View {
    std::shared_ptr<const QTextLayout> layout;
    QRect line;       // where the line lies, scrolled or not: the text area less its margins
    QPointF origin;   // where the layout is drawn
    int cursorAt;     // the cursor's place in the layout, the composition included
    QRect cursor;     // where the cursor is drawn
    bool selected;    // some text is selected
    QString shown;    // the line as shown: the text with the composition at the cursor
    int composedFrom; // where the composition starts, or the line's length without one
    qreal x(int position) const { return origin.x() + layout->lineAt(0).cursorToX(position); }
};

InputBox::InputBox(QWidget* parent)
    : QLineEdit(parent)
    , m_ink(palette()) {
    connect(this, &QLineEdit::textChanged, this, [this] {
        // Text set by the program ends any composition; the input method's own commits
        // arrive with the composition that follows them.
        if (!m_inInputMethodEvent) {
            m_preedit.clear();
            m_preeditAttributes.clear();
            ++m_compositions;
        }
        showCursorAgain();
    });
    connect(this, &QLineEdit::cursorPositionChanged, this, &InputBox::showCursorAgain);
    connect(QGuiApplication::styleHints(), &QStyleHints::cursorFlashTimeChanged, this,
            &InputBox::showCursorAgain);
    keepTextInsideWindow(this, [this](int past) {
        QMargins margins = textMargins();
        margins.setRight(past);
        setTextMargins(margins);
        updateMicroFocus();
    });
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

QRect InputBox::drawnCursorRect() const {
    if (!m_drawsOwnText)
        return cursorRect();
    return view().cursor;
}

QVariant InputBox::inputMethodQuery(Qt::InputMethodQuery query) const {
    if (query == Qt::ImEnabled)
        return m_compositionAllowed && !isReadOnly();
    // The input method opens its candidates at the cursor: the one the box draws.
    if (query == Qt::ImCursorRectangle && m_drawsOwnText)
        return drawnCursorRect();
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
    const View before = view();
    m_inInputMethodEvent = true;
    changeWithoutRepaint(this, [&] { QLineEdit::inputMethodEvent(event); });
    m_inInputMethodEvent = false;
    m_preedit = event->preeditString();
    m_preeditAttributes = event->attributes();
    ++m_compositions;
    m_wholeBoxChanged = true;
    update(m_drawsOwnText ? changedPart(before, view()) : rect());
    updateMicroFocus();
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

// QLineEdit's cursor box starts this far left of the cursor's x, wherever its own scroll puts
// the text.
constexpr int kQLineEditCursorLead = 5;

void InputBox::asQLineEditPlacesText(QMouseEvent* event,
                                     const std::function<void(QMouseEvent*)>& handler) {
    if (!m_drawsOwnText || !m_preedit.isEmpty()) {
        handler(event);
        return;
    }
    const View shown = view();
    const qreal qtTextLeft = cursorRect().x() + kQLineEditCursorLead -
                             qRound(shown.layout->lineAt(0).cursorToX(cursorPosition()));
    QMouseEvent moved(event->type(), event->position() + QPointF(qtTextLeft - shown.origin.x(), 0),
                      event->scenePosition(), event->globalPosition(), event->button(),
                      event->buttons(), event->modifiers(), event->source(),
                      event->pointingDevice());
    handler(&moved);
    event->setAccepted(moved.isAccepted());
}

void InputBox::mousePressEvent(QMouseEvent* event) {
    asQLineEditPlacesText(event, [this](QMouseEvent* e) { QLineEdit::mousePressEvent(e); });
}

void InputBox::mouseMoveEvent(QMouseEvent* event) {
    asQLineEditPlacesText(event, [this](QMouseEvent* e) { QLineEdit::mouseMoveEvent(e); });
}

void InputBox::mouseReleaseEvent(QMouseEvent* event) {
    asQLineEditPlacesText(event, [this](QMouseEvent* e) { QLineEdit::mouseReleaseEvent(e); });
}

void InputBox::mouseDoubleClickEvent(QMouseEvent* event) {
    asQLineEditPlacesText(event, [this](QMouseEvent* e) { QLineEdit::mouseDoubleClickEvent(e); });
}

void InputBox::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    updateMicroFocus();
}

bool InputBox::focusNextPrevChild(bool next) {
    if (!next)
        return QLineEdit::focusNextPrevChild(next);
    if (!isReadOnly())
        insert(QStringLiteral("\t"));
    return true;
}

// While the box draws its text itself, QLineEdit's text colours are clear: were it ever to
// paint, it would fill no glyph.
void InputBox::updateOwnDrawing() {
    m_drawsOwnText = m_fromCache && isLargeType(font(), this);
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

// The cursor shows at once after a key or a click and blinks from there; where the desktop
// turns blinking off (a flash time of 0), it stays on.
void InputBox::showCursorAgain() {
    m_cursorShown = true;
    const int flashTime = QGuiApplication::styleHints()->cursorFlashTime();
    if (hasFocus() && flashTime > 0)
        m_blink.start(flashTime / 2, this);
    else
        m_blink.stop();
}

void InputBox::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_blink.timerId()) {
        QLineEdit::timerEvent(event);
        return;
    }
    m_cursorShown = !m_cursorShown;
    if (m_drawsOwnText)
        update(drawnCursorRect());
}

bool InputBox::cursorDrawn() const {
    bool hiddenByInputMethod = false;
    compositionCursor(&hiddenByInputMethod);
    return m_cursorShown && hasFocus() && !isReadOnly() && !hiddenByInputMethod;
}

void InputBox::paintEvent(QPaintEvent* event) {
    if (!m_drawsOwnText) {
        QLineEdit::paintEvent(event);
        return;
    }
    QStyleOptionFrame option;
    initStyleOption(&option);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, this);
    const View shown = view();
    painter.setClipRect(textArea(), Qt::IntersectClip);
    drawBackgrounds(painter, shown);
    drawText(painter, shown);
    drawCompositionUnderline(painter, shown);
    if (cursorDrawn())
        drawCursor(painter, shown);
}

QRect InputBox::textArea() const {
    QStyleOptionFrame option;
    initStyleOption(&option);
    return style()
        ->subElementRect(QStyle::SE_LineEditContents, &option, this)
        .marginsRemoved(textMargins());
}

// Where the input method puts the cursor in its composition, from its start; whether it asks
// for no cursor at all (while it shows its candidates, the chosen one stands for it).
int InputBox::compositionCursor(bool* hidden) const {
    int at = m_preedit.size();
    for (const auto& attribute : m_preeditAttributes)
        if (attribute.type == QInputMethodEvent::Cursor) {
            at = attribute.start;
            if (hidden)
                *hidden = attribute.length == 0;
        }
    return at;
}

// The line is laid out again only when it changed: a key's paint and the input method's
// questions about the cursor ask for it several times.
std::shared_ptr<const QTextLayout> InputBox::laidOutLine() const {
    const LineKey key{displayText(), cursorPosition(), m_compositions, font(), layoutDirection()};
    if (!m_laidOut || !(key == m_laidOutKey)) {
        auto layout = std::make_shared<QTextLayout>(key.text, key.font);
        layOutLine(*layout);
        m_laidOut = std::move(layout);
        m_laidOutKey = key;
    }
    return m_laidOut;
}

// The same one-line layout as QLineEdit's, with the composition and its formats at the cursor.
void InputBox::layOutLine(QTextLayout& layout) const {
    QTextOption textOption;
    textOption.setTextDirection(layoutDirection());
    textOption.setFlags(QTextOption::IncludeTrailingSpaces);
    layout.setTextOption(textOption);
    if (!m_preedit.isEmpty()) {
        layout.setPreeditArea(cursorPosition(), m_preedit);
        QList<QTextLayout::FormatRange> formats;
        for (const auto& attribute : m_preeditAttributes)
            if (attribute.type == QInputMethodEvent::TextFormat)
                formats.append(
                    {cursorPosition() + attribute.start, attribute.length, formatOf(attribute)});
        layout.setFormats(formats);
    }
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
}

// The line laid out and placed as QLineEdit places it: centred in the text area, scrolled just
// enough to keep the cursor in it.
InputBox::View InputBox::view() const {
    View shown;
    shown.layout = laidOutLine();
    const QTextLine line = shown.layout->lineAt(0);
    const QRect area = textArea();
    const QFontMetrics metrics(font());
    const Qt::Alignment align = QStyle::visualAlignment(layoutDirection(), alignment());
    int top = area.y() + (area.height() - metrics.height() + 1) / 2;
    if (align & Qt::AlignTop)
        top = area.y() + kVerticalMargin;
    else if (align & Qt::AlignBottom)
        top = area.bottom() + 1 - metrics.height() - kVerticalMargin;
    shown.line = QRect(area.x() + kHorizontalMargin, top, area.width() - 2 * kHorizontalMargin,
                       metrics.height());

    QStyleOptionFrame option;
    initStyleOption(&option);
    const int cursorWidth = style()->pixelMetric(QStyle::PM_TextCursorWidth, &option, this);
    shown.cursorAt = cursorPosition() + compositionCursor();
    const int cursorX = qRound(line.cursorToX(shown.cursorAt));
    const int used = qRound(line.naturalTextWidth()) + 1;
    const int width = shown.line.width();
    if (used <= width) {
        if (align & Qt::AlignRight)
            m_scroll = used - width + 1;
        else if (align & Qt::AlignHCenter)
            m_scroll = (used - width) / 2;
        else
            m_scroll = 0;
    } else if (cursorX + cursorWidth - m_scroll > width) {
        m_scroll = cursorX + cursorWidth - width;
    } else if (cursorX - m_scroll < 0) {
        m_scroll = cursorX;
    } else if (used - m_scroll < width) {
        m_scroll = used - width + 1;
    } else {
        m_scroll = std::max(0, m_scroll);
    }

    shown.origin = QPointF(shown.line.x() - m_scroll,
                           shown.line.y() - (qRound(line.ascent()) - metrics.ascent()));
    shown.cursor = QRect(qRound(shown.origin.x()) + cursorX, qRound(shown.origin.y() + line.y()),
                         cursorWidth, qRound(line.ascent() + line.descent()));
    shown.selected = hasSelectedText();
    shown.shown = displayText().insert(cursorPosition(), m_preedit);
    shown.composedFrom = m_preedit.isEmpty() ? int(shown.shown.size()) : cursorPosition();
    return shown;
}

// A key that types or rubs out at the end of a line changes a glyph's width of the box, not
// the whole of it: the part from the first changed character (and the cursor's old and new
// places) to the longer line's end is all that is drawn again and sent to the screen.
void InputBox::keyPressEvent(QKeyEvent* event) {
    if (!m_drawsOwnText || m_typing || !m_preedit.isEmpty()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const View before = view();
    m_typing = true;
    m_wholeBoxChanged = false;
    changeWithoutRepaint(this, [&] { QLineEdit::keyPressEvent(event); });
    m_typing = false;
    update(m_wholeBoxChanged ? rect() : changedPart(before, view()));
}

// A composition's colours and underline may change anywhere in it: it is drawn again from its
// start.
QRect InputBox::changedPart(const View& before, const View& after) const {
    if (before.selected || after.selected || qAbs(before.origin.x() - after.origin.x()) > 0.5 ||
        before.line != after.line)
        return rect();
    const QString& was = before.shown;
    const QString& is = after.shown;
    qsizetype same = 0;
    while (same < was.size() && same < is.size() && was[same] == is[same])
        ++same;
    same = std::min({same, qsizetype(before.composedFrom), qsizetype(after.composedFrom)});
    // One character more on the left: a pair may be kerned, and a glyph may lean over its
    // neighbour.
    const int from = int(std::max<qsizetype>(0, same - 1));
    const qreal left =
        std::min({before.x(from), qreal(before.cursor.left()), qreal(after.cursor.left())});
    const qreal right = std::max({before.x(int(was.size())), after.x(int(is.size())),
                                  qreal(before.cursor.right()), qreal(after.cursor.right())});
    const QFontMetrics metrics(font());
    const int overhang =
        std::max(0, -metrics.minLeftBearing()) + std::max(0, -metrics.minRightBearing()) + 1;
    return QRect(QPoint(int(left) - overhang, 0), QPoint(int(right) + overhang + 1, height() - 1))
        .intersected(rect());
}

// A solid bar in the text's colour: it shows the same on the background, on a selection and
// over a glyph, and only the box draws it.
void InputBox::drawCursor(QPainter& painter, const View& shown) const {
    fillInBands(painter, shown.cursor, m_ink.color(palette().currentColorGroup(), QPalette::Text));
}

// The selection's highlight, and the backgrounds the input method gives parts of its
// composition.
void InputBox::drawBackgrounds(QPainter& painter, const View& shown) const {
    const QTextLine line = shown.layout->lineAt(0);
    const auto span = [&](int from, int to) {
        const qreal left = std::min(shown.x(from), shown.x(to));
        return QRectF(left, shown.origin.y() + line.y(), std::abs(shown.x(to) - shown.x(from)),
                      line.height())
            .toAlignedRect();
    };
    if (m_preedit.isEmpty() && shown.selected)
        fillInBands(painter, span(selectionStart(), selectionEnd()),
                    palette().brush(palette().currentColorGroup(), QPalette::Highlight));
    for (const auto& attribute : m_preeditAttributes) {
        if (attribute.type != QInputMethodEvent::TextFormat || attribute.length <= 0)
            continue;
        const QTextCharFormat format = formatOf(attribute);
        if (format.hasProperty(QTextFormat::BackgroundBrush)) {
            const int from = cursorPosition() + attribute.start;
            fillInBands(painter, span(from, from + attribute.length), format.background());
        }
    }
}

// Each stretch of characters in its colour: selected text in the highlighted text colour, and
// composition text in the colour the input method gave it.
void InputBox::drawText(QPainter& painter, const View& shown) const {
    const auto group = palette().currentColorGroup();
    const int length = shown.layout->text().size() + m_preedit.size();
    QList<QColor> colours(length, m_ink.color(group, QPalette::Text));
    if (m_preedit.isEmpty() && shown.selected)
        for (int i = selectionStart(); i < selectionEnd() && i < length; ++i)
            colours[i] = m_ink.color(group, QPalette::HighlightedText);
    for (const auto& attribute : m_preeditAttributes) {
        if (attribute.type != QInputMethodEvent::TextFormat)
            continue;
        const QTextCharFormat format = formatOf(attribute);
        if (!format.hasProperty(QTextFormat::ForegroundBrush))
            continue;
        for (int i = 0; i < attribute.length; ++i) {
            const int at = cursorPosition() + attribute.start + i;
            if (at >= 0 && at < length)
                colours[at] = format.foreground().color();
        }
    }
    for (int from = 0; from < length;) {
        int to = from + 1;
        while (to < length && colours[to] == colours[from])
            ++to;
        drawLayoutFromCache(painter, *shown.layout, shown.origin, colours[from], from, to - from);
        from = to;
    }
}

void InputBox::drawCompositionUnderline(QPainter& painter, const View& shown) const {
    const QTextLine line = shown.layout->lineAt(0);
    const QFontMetricsF metrics(font());
    for (const auto& attribute : m_preeditAttributes) {
        if (attribute.type != QInputMethodEvent::TextFormat || attribute.length <= 0)
            continue;
        const QTextCharFormat format = formatOf(attribute);
        if (format.underlineStyle() == QTextCharFormat::NoUnderline)
            continue;
        QColor colour = format.underlineColor();
        if (!colour.isValid())
            colour = m_ink.color(palette().currentColorGroup(), QPalette::Text);
        const int from = cursorPosition() + attribute.start;
        const qreal left = std::min(shown.x(from), shown.x(from + attribute.length));
        const qreal right = std::max(shown.x(from), shown.x(from + attribute.length));
        const qreal y = shown.origin.y() + line.ascent() + metrics.underlinePos();
        painter.fillRect(QRectF(left, y, right - left, metrics.lineWidth()), colour);
    }
}

} // namespace tokotoko

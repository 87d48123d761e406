#include "LargeText.h"

#include <QLabel>

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>
#include <cmath>

namespace tokotoko {
namespace {

// Qt's own limit: glyphs up to this many device pixels high are kept in its glyph cache.
constexpr qreal kQtCachedGlyphPixels = 64;
// Bounds the cache at a few screens of the largest type (a 250-point glyph is about 0.4 MiB).
constexpr int kCacheKiB = 24 * 1024;

// The scale from the painter's coordinates to device pixels, or 0 when its transform turns,
// shears or stretches unevenly (the cache holds upright glyphs at one scale).
qreal deviceScale(const QPainter& painter) {
    const QTransform transform = painter.deviceTransform();
    if (transform.type() > QTransform::TxScale || transform.m11() <= 0 ||
        !qFuzzyCompare(transform.m11(), transform.m22()))
        return 0;
    return transform.m11();
}

qreal pixelSize(const QFont& font, const QPaintDevice* device) {
    if (font.pixelSize() > 0)
        return font.pixelSize();
    const int dpi = device ? device->logicalDpiY() : 96;
    return font.pointSizeF() * dpi / 72.0;
}

// Qt's own drawing of a run, for what the cache does not hold.
void drawAsQtDoes(QPainter& painter, const QPointF& origin, const QGlyphRun& run,
                  const QColor& colour) {
    painter.save();
    painter.setPen(colour);
    painter.drawGlyphRun(origin, run);
    painter.restore();
}

// How far right a line of this width starts in a rectangle of the given width.
qreal alignedLeft(int flags, qreal rectWidth, qreal lineWidth) {
    if (flags & Qt::AlignRight)
        return rectWidth - lineWidth;
    if (flags & Qt::AlignHCenter)
        return (rectWidth - lineWidth) / 2;
    return 0;
}

// The lines as QPainter::drawText lays them out: unbounded width, spaced by the font's
// leading, and no more of them than the rectangle holds unless clipping is off. Returns the
// size of the text.
QSizeF layOutAsDrawText(QTextLayout& layout, const QFontMetricsF& metrics, qreal rectHeight,
                        bool dontClip) {
    qreal height = -metrics.leading();
    qreal width = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(0x01000000);
        height += metrics.leading();
        line.setPosition(QPointF(0, height));
        height += line.height();
        width = std::max(width, line.naturalTextWidth());
        if (!dontClip && height >= rectHeight)
            break;
    }
    layout.endLayout();
    return {width, height};
}

} // namespace

GlyphImageCache& GlyphImageCache::shared() {
    static GlyphImageCache cache;
    return cache;
}

GlyphImageCache::GlyphImageCache() {
    m_glyphs.setMaxCost(kCacheKiB);
}

const GlyphImageCache::Glyph* GlyphImageCache::glyph(const QRawFont& deviceFont, quint32 index,
                                                     QRgb colour) {
    const Key key{deviceFont, index, colour};
    if (const Glyph* cached = m_glyphs.object(key))
        return cached;

    auto made = std::make_unique<Glyph>();
    const QRectF bounds = deviceFont.boundingRect(index);
    if (!bounds.isEmpty()) {
        // A margin for the antialiased edge.
        const QRect box = bounds.toAlignedRect().adjusted(-2, -2, 2, 2);
        made->offset = box.topLeft();
        made->image = QImage(box.size(), QImage::Format_ARGB32_Premultiplied);
        made->image.fill(Qt::transparent);
        QGlyphRun one;
        one.setRawFont(deviceFont);
        one.setGlyphIndexes({index});
        one.setPositions({QPointF(0, 0)});
        QPainter painter(&made->image);
        painter.setPen(QColor::fromRgba(colour));
        painter.drawGlyphRun(QPointF(-box.x(), -box.y()), one);
    }
    ++m_rasterised;
    const int cost = std::max(1, int(made->image.sizeInBytes() / 1024));
    const Glyph* result = made.get();
    if (!m_glyphs.insert(key, made.release(), cost))
        return nullptr; // larger than the whole cache: never happens at the sizes we show
    return result;
}

QRawFont GlyphImageCache::deviceFont(const QRawFont& font, qreal scale) {
    if (scale == 1)
        return font;
    const auto key = qMakePair(font, scale);
    auto found = m_deviceFonts.constFind(key);
    if (found != m_deviceFonts.cend())
        return *found;
    QRawFont resized = font;
    resized.setPixelSize(font.pixelSize() * scale);
    return *m_deviceFonts.insert(key, resized);
}

bool GlyphImageCache::draw(QPainter& painter, const QPointF& origin, const QGlyphRun& run,
                           const QColor& colour) {
    const qreal scale = deviceScale(painter);
    if (scale <= 0)
        return false;
    if (!run.rawFont().isValid())
        return false;
    const QRawFont deviceFont = this->deviceFont(run.rawFont(), scale);

    const QTransform toDevice = painter.deviceTransform();
    const QTransform fromDevice = toDevice.inverted();
    const QList<quint32> indexes = run.glyphIndexes();
    const QList<QPointF> positions = run.positions();
    QList<quint32> leftToQt;
    QList<QPointF> leftToQtAt;
    for (qsizetype i = 0; i < indexes.size() && i < positions.size(); ++i) {
        const Glyph* glyph = this->glyph(deviceFont, indexes[i], colour.rgba());
        if (!glyph || glyph->image.isNull()) {
            // No outline to rasterise (a space, or the box of a character no font has, which
            // only the original font engine knows how to draw): Qt draws it.
            leftToQt.append(indexes[i]);
            leftToQtAt.append(positions[i]);
            continue;
        }
        // Whole device pixels: the image is blended as it is, never resampled.
        const QPointF at = toDevice.map(origin + positions[i]);
        const QPoint topLeft(qRound(at.x()) + glyph->offset.x(),
                             qRound(at.y()) + glyph->offset.y());
        const QRectF target(fromDevice.map(QPointF(topLeft)), QSizeF(glyph->image.size()) / scale);
        painter.drawImage(target, glyph->image, QRectF(glyph->image.rect()));
    }
    if (!leftToQt.isEmpty()) {
        QGlyphRun rest = run;
        rest.setGlyphIndexes(leftToQt);
        rest.setPositions(leftToQtAt);
        drawAsQtDoes(painter, origin, rest, colour);
    }
    return true;
}

bool isLargeType(const QFont& font, const QPaintDevice* device, qreal scale) {
    return scale > 0 && pixelSize(font, device) * scale > kQtCachedGlyphPixels;
}

bool isLargeType(const QFont& font, const QPainter& painter) {
    return isLargeType(font, painter.device(), deviceScale(painter));
}

void drawLayoutFromCache(QPainter& painter, const QTextLayout& layout, const QPointF& position,
                         const QColor& colour, int from, int length) {
    auto& cache = GlyphImageCache::shared();
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        for (const QGlyphRun& run : line.glyphRuns(from, length))
            if (!cache.draw(painter, position, run, colour))
                drawAsQtDoes(painter, position, run, colour);
    }
}

bool drawLargeText(QPainter& painter, const QRect& rect, int flags, const QString& text,
                   const QColor& colour) {
    const QFont font = painter.font();
    if (!isLargeType(font, painter) || font.underline() || font.overline() || font.strikeOut())
        return false;
    constexpr int unsupported =
        Qt::TextWordWrap | Qt::TextWrapAnywhere | Qt::TextJustificationForced | Qt::AlignJustify;
    if (flags & unsupported)
        return false;
    const bool mnemonics = flags & (Qt::TextShowMnemonic | Qt::TextHideMnemonic);
    if ((mnemonics && text.contains(u'&')) || text.contains(u'\t') || text.contains(QChar(0x9c)))
        return false;

    QString shown = text;
    for (QChar& c : shown) {
        if (c == u'\r' || (c == u'\n' && (flags & Qt::TextSingleLine)))
            c = u' ';
        else if (c == u'\n')
            c = QChar::LineSeparator;
    }

    QTextLayout layout(shown, font, painter.device());
    QTextOption option;
    option.setAlignment(Qt::AlignLeft); // aligned below, line by line
    option.setTextDirection((flags & Qt::TextForceLeftToRight)   ? Qt::LeftToRight
                            : (flags & Qt::TextForceRightToLeft) ? Qt::RightToLeft
                                                                 : painter.layoutDirection());
    layout.setTextOption(option);

    const QFontMetricsF metrics(font, painter.device());
    const bool dontClip = flags & Qt::TextDontClip;
    const QSizeF size = layOutAsDrawText(layout, metrics, rect.height(), dontClip);

    const qreal scale =
        painter.transform().type() <= QTransform::TxScale ? painter.transform().m22() : 0;
    qreal top = 0;
    if (flags & Qt::AlignBottom) {
        top = rect.height() - size.height();
    } else if (flags & Qt::AlignVCenter) {
        top = (rect.height() - size.height()) / 2;
        if (scale != 0)
            top = -std::round(-top * scale) / scale;
    }
    const QRectF bounds(rect.x() + alignedLeft(flags, rect.width(), size.width()), rect.y() + top,
                        size.width(), size.height());
    const bool clip = !dontClip && !QRectF(rect).contains(bounds);
    painter.save();
    if (clip)
        painter.setClipRect(rect, Qt::IntersectClip);
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        const qreal left = alignedLeft(flags, rect.width(), line.horizontalAdvance());
        for (const QGlyphRun& run : line.glyphRuns())
            GlyphImageCache::shared().draw(painter, QPointF(rect.x() + left, rect.y() + top), run,
                                           colour);
    }
    painter.restore();
    return true;
}

void LargeTextStyle::drawItemText(QPainter* painter, const QRect& rect, int flags,
                                  const QPalette& palette, bool enabled, const QString& text,
                                  QPalette::ColorRole textRole) const {
    if (painter && enabled && !text.isEmpty()) {
        const QBrush brush =
            textRole == QPalette::NoRole ? painter->pen().brush() : palette.brush(textRole);
        if (brush.style() == Qt::SolidPattern &&
            drawLargeText(*painter, rect, flags, text, brush.color()))
            return;
    }
    QProxyStyle::drawItemText(painter, rect, flags, palette, enabled, text, textRole);
}

namespace {

bool showsOneCentredLine(const QLabel* label, const QString& text) {
    return label->alignment() == Qt::AlignCenter && !label->wordWrap() &&
           label->textFormat() != Qt::RichText && !text.contains(u'\n') &&
           !Qt::mightBeRichText(text);
}

// The columns the line may ink, with room for glyphs that reach past their advance.
QRect centredLineColumns(const QLabel* label, const QString& text) {
    const QFontMetrics metrics(label->font());
    const QRect contents = label->contentsRect();
    const int width = metrics.horizontalAdvance(text);
    const int reach =
        std::max(0, -metrics.minLeftBearing()) + std::max(0, -metrics.minRightBearing()) + 2;
    const int left = contents.left() + (contents.width() - width) / 2;
    return QRect(left - reach, 0, width + 2 * reach, label->height()).intersected(label->rect());
}

} // namespace

void changeWithoutRepaint(QWidget* widget, const std::function<void()>& change) {
    const bool held = widget->testAttribute(Qt::WA_UpdatesDisabled);
    widget->setAttribute(Qt::WA_UpdatesDisabled, true);
    change();
    widget->setAttribute(Qt::WA_UpdatesDisabled, held);
}

void setCentredLine(QLabel* label, const QString& text) {
    const QString before = label->text();
    if (text == before)
        return;
    if (!label->isVisible() || !showsOneCentredLine(label, before) ||
        !showsOneCentredLine(label, text)) {
        label->setText(text);
        return;
    }
    const QRect was = centredLineColumns(label, before);
    changeWithoutRepaint(label, [&] { label->setText(text); });
    label->update(was | centredLineColumns(label, text));
}

} // namespace tokotoko

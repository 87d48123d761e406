#pragma once

#include <QCache>
#include <QColor>
#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QPoint>
#include <QProxyStyle>
#include <QRawFont>

#include <functional>

class QLabel;
class QPainter;
class QTextLayout;

namespace tokotoko {

// Qt keeps rasterised glyphs only up to 64 px; larger ones are turned into outlines and filled
// again on every paint. The learner's type is 80 to 250 points, so each key would refill every
// glyph in sight. This cache rasterises such a glyph once per face, size and colour (with Qt's
// own filler, so it looks the same) and blends the image on each paint.
class GlyphImageCache {
public:
    static GlyphImageCache& shared();

    // Draws the run at origin in the given colour. False when the painter's transform is not
    // a plain scale and move: the caller then draws the run the ordinary way.
    bool draw(QPainter& painter, const QPointF& origin, const QGlyphRun& run, const QColor& colour);

    // Glyph images made so far: each glyph, face, size and colour is made once while it stays
    // in the cache.
    qint64 rasterised() const { return m_rasterised; }

private:
    GlyphImageCache();

    struct Key {
        QRawFont font; // held, so that its font engine is never freed and reused under it
        quint32 index;
        QRgb colour;
        bool operator==(const Key& other) const {
            return index == other.index && colour == other.colour && font == other.font;
        }
        friend size_t qHash(const Key& key, size_t seed = 0) noexcept {
            return qHashMulti(seed, key.font, key.index, key.colour);
        }
    };
    struct Glyph {
        QImage image;  // at the device's pixel ratio
        QPoint offset; // of the image's top left from the glyph's origin, in device pixels
    };
    const Glyph* glyph(const QRawFont& deviceFont, quint32 index, QRgb colour);
    QRawFont deviceFont(const QRawFont& font, qreal scale);

    QCache<Key, Glyph> m_glyphs;
    // Each face at each pixel ratio's size, made once: a resized QRawFont is a new font engine.
    QHash<QPair<QRawFont, qreal>, QRawFont> m_deviceFonts;
    qint64 m_rasterised = 0;
};

// True when Qt would fill the font's glyph outlines on each paint, on this device at this scale.
bool isLargeType(const QFont& font, const QPaintDevice* device, qreal scale = 1);
bool isLargeType(const QFont& font, const QPainter& painter);

// Draws the characters from..from+length of the layout's lines (all of them by default) at
// position in the colour: from the glyph cache, or as Qt draws them where the painter's
// transform does not allow the cache.
void drawLayoutFromCache(QPainter& painter, const QTextLayout& layout, const QPointF& position,
                         const QColor& colour, int from = -1, int length = -1);

// Draws text in rect as QPainter::drawText(rect, flags, text) lays it out, from the glyph
// cache. False, with nothing drawn, for what it does not lay out itself (mnemonics, tabs,
// wrapping, justification, decorated fonts): the caller then draws the text as usual.
bool drawLargeText(QPainter& painter, const QRect& rect, int flags, const QString& text,
                   const QColor& colour);

// The application's style: labels with large type draw it from the glyph cache.
// Runs a change to the widget with its repaints held back, for the caller to repaint only the
// part that changed. (Not setUpdatesEnabled: turning updates back on repaints all of it.)
void changeWithoutRepaint(QWidget* widget, const std::function<void()>& change);

// Sets the text of a label that shows one centred line, repainting only the stretch of the
// label where the old or the new line lies: a key's name, a glyph or two across a label as
// wide as the screen, does not refill and resend the whole label. Any other label is simply
// given its text.
void setCentredLine(QLabel* label, const QString& text);

class LargeTextStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    void drawItemText(QPainter* painter, const QRect& rect, int flags, const QPalette& palette,
                      bool enabled, const QString& text,
                      QPalette::ColorRole textRole = QPalette::NoRole) const override;
};

} // namespace tokotoko

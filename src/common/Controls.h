#pragma once

#include <QColor>
#include <QLabel>
#include <QWidget>

namespace tokotoko {

// The colours the windows use, as red, green, blue.
namespace colors {
inline const QColor black{0, 0, 0};
inline const QColor white{255, 255, 255};
inline const QColor yellow{255, 255, 0};
inline const QColor navy{0, 0, 128};
inline const QColor maroon{128, 0, 0};
inline const QColor blue{0, 0, 255};
inline const QColor red{255, 0, 0};
inline const QColor green{0, 255, 0};
inline const QColor lightCyan{192, 255, 255};
inline const QColor buttonGrey{224, 224, 224};
} // namespace colors

// Foreground and background of a widget through its palette. A background is drawn only
// when `opaque` is true; otherwise the parent shows through.
void setColors(QWidget* widget, const QColor& text, const QColor& background, bool opaque);

// A label named `name` (its objectName). It carries no fixed accessible name, so a screen
// reader reads whatever text it shows.
QLabel* makeLabel(QWidget* parent, const QString& name, const QFont& font, const QColor& text,
                  Qt::Alignment alignment);

// Sets a label's text and lets assistive technology read it: a label with an accessible name
// no longer reports its text by itself, so the text goes into its description too.
void setCaption(QLabel* label, const QString& text);

// An opaque filled rectangle (the time bars).
class Shape : public QWidget {
    Q_OBJECT
public:
    explicit Shape(QWidget* parent, const QString& name, const QColor& fill);
    void setFillColor(const QColor& fill);
    QColor fillColor() const { return m_fill; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_fill;
};

} // namespace tokotoko

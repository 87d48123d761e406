// Large type drawn from the glyph-image cache must look as Qt draws it itself: same place, same
// amount of ink, at pixel ratio 1 and 2; and each glyph is rasterised once, not on every paint.

#include "drawing/InputBox.h"
#include "drawing/LargeText.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QScopeGuard>
#include <QScreen>
#include <QStyleHints>
#include <QTest>
#include <QTextCharFormat>

#include <functional>
#include <memory>
#include <utility>

using namespace tokotoko;

namespace {

QFont gothicPoints(qreal points) {
    QFont font;
    font.setFamilies({QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")});
    font.setPointSizeF(points);
    return font;
}

struct Ink {
    QRect box;
    qint64 amount = 0;
};

// Where a white-on-black image has ink, and how much.
Ink inkOf(const QImage& image) {
    Ink ink;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int level = qGray(line[x]);
            if (level < 16)
                continue;
            ink.amount += level;
            ink.box |= QRect(x, y, 1, 1);
        }
    }
    return ink;
}

QImage rendered(QWidget& widget, qreal ratio) {
    QImage image(widget.size() * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::black);
    widget.render(&image);
    return image;
}

// The text windows' input box: 80 points, white (or another colour) on black, no frame.
void styleWhiteOnBlack(InputBox& box, int width, const QColor& text = Qt::white) {
    box.setFont(gothicPoints(80));
    QPalette palette = box.palette();
    palette.setColor(QPalette::Base, Qt::black);
    palette.setColor(QPalette::Text, text);
    box.setPalette(palette);
    box.setFrame(false);
    box.resize(width, 140);
}

// The two drawings agree to a pixel (the cache puts glyphs on whole pixels) and in ink.
void compareInk(const QImage& cached, const QImage& qt) {
    const Ink a = inkOf(cached), b = inkOf(qt);
    QVERIFY2(b.amount > 0, "Qt drew nothing to compare with");
    const QMargins apart(a.box.left() - b.box.left(), a.box.top() - b.box.top(),
                         a.box.right() - b.box.right(), a.box.bottom() - b.box.bottom());
    QVERIFY2(std::abs(apart.left()) <= 1 && std::abs(apart.top()) <= 1 &&
                 std::abs(apart.right()) <= 1 && std::abs(apart.bottom()) <= 1,
             qPrintable(QStringLiteral("ink at %1,%2 %3×%4, Qt's at %5,%6 %7×%8")
                            .arg(a.box.x())
                            .arg(a.box.y())
                            .arg(a.box.width())
                            .arg(a.box.height())
                            .arg(b.box.x())
                            .arg(b.box.y())
                            .arg(b.box.width())
                            .arg(b.box.height())));
    QVERIFY2(std::abs(double(a.amount - b.amount)) <= 0.02 * double(b.amount),
             qPrintable(QStringLiteral("ink %1, Qt's %2").arg(a.amount).arg(b.amount)));
}

// Upright bars of exactly `colour` at least `height` pixels tall, as a text cursor is drawn;
// each a run of neighbouring columns.
QList<QRect> barsOf(const QImage& image, QRgb colour, int height) {
    QList<QRect> bars;
    for (int x = 0; x < image.width(); ++x) {
        int run = 0, longest = 0, end = 0;
        for (int y = 0; y < image.height(); ++y) {
            run = (image.pixel(x, y) & RGB_MASK) == (colour & RGB_MASK) ? run + 1 : 0;
            if (run > longest) {
                longest = run;
                end = y;
            }
        }
        if (longest < height)
            continue;
        const QRect column(x, end - longest + 1, 1, longest);
        if (!bars.isEmpty() && bars.last().right() == x - 1)
            bars.last() |= column;
        else
            bars.append(column);
    }
    return bars;
}

using BoxState = std::function<void(InputBox&)>;

} // namespace

Q_DECLARE_METATYPE(BoxState)

class LargeTextTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void labelLooksAsQtDrawsIt_data();
    void labelLooksAsQtDrawsIt();
    void eachGlyphIsRasterisedOnce();
    void inputBoxLooksAsQtDrawsIt_data();
    void inputBoxLooksAsQtDrawsIt();
    void inputBoxCursorBlinksAndShowsOnTyping();
    void inputBoxShowsOneCursorWhereItSays_data();
    void inputBoxShowsOneCursorWhereItSays();
    void typingRepaintsOnlyWhatChanged();
    void aClickLandsOnTheCharacterDrawnUnderIt();
    void centredLineRepaintsOnlyWhereItWas();

private:
    LargeTextStyle m_style;
};

void LargeTextTest::labelLooksAsQtDrawsIt_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<qreal>("points");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<qreal>("ratio");
    const int centredTop = Qt::AlignHCenter | Qt::AlignTop;
    for (const qreal ratio : {1.0, 2.0}) {
        const QByteArray at = ratio == 1 ? "" : " ×2";
        QTest::newRow("key name, centred" + at) << "Space" << 129.75 << centredTop << ratio;
        QTest::newRow("one huge kana, centred both ways" + at)
            << "あ" << 249.75 << int(Qt::AlignCenter) << ratio;
        QTest::newRow("mixed widths, left" + at)
            << "ＡＢ漢字 ab" << 72.0 << int(Qt::AlignLeft | Qt::AlignVCenter) << ratio;
        QTest::newRow("two lines, right" + at)
            << "Tab\nタブ" << 60.0 << int(Qt::AlignRight | Qt::AlignTop) << ratio;
        QTest::newRow("trailing space, centred" + at) << "Ａ " << 90.0 << centredTop << ratio;
        // Drawn by a font engine that has no family name.
        QTest::newRow("a character no font has" + at)
            << QStringLiteral("あమ") << 90.0 << centredTop << ratio;
    }
}

void LargeTextTest::labelLooksAsQtDrawsIt() {
    QFETCH(QString, text);
    QFETCH(qreal, points);
    QFETCH(int, alignment);
    QFETCH(qreal, ratio);
    QLabel label;
    label.setTextFormat(Qt::PlainText);
    label.setFont(gothicPoints(points));
    label.setAlignment(Qt::Alignment(alignment));
    QPalette palette = label.palette();
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::WindowText, Qt::white);
    label.setPalette(palette);
    label.setText(text);
    label.resize(900, 500);

    const QImage qt = rendered(label, ratio);
    label.setStyle(&m_style);
    const qint64 before = GlyphImageCache::shared().rasterised();
    const QImage cached = rendered(label, ratio);
    QVERIFY2(GlyphImageCache::shared().rasterised() > before,
             "the label was not drawn from the cache");
    compareInk(cached, qt);
}

void LargeTextTest::eachGlyphIsRasterisedOnce() {
    QLabel label;
    label.setStyle(&m_style);
    label.setFont(gothicPoints(129.75));
    label.setText(QStringLiteral("ＯｎｃｅＯｎｃｅ"));
    label.resize(1600, 300);
    auto& cache = GlyphImageCache::shared();
    const qint64 start = cache.rasterised();
    rendered(label, 1);
    QCOMPARE(cache.rasterised() - start, 4); // Ｏ, ｎ, ｃ, ｅ
    rendered(label, 1);
    QCOMPARE(cache.rasterised() - start, 4);

    // Type small enough for Qt's own glyph cache is left to Qt.
    label.setFont(gothicPoints(36));
    label.setText(QStringLiteral("小さな字"));
    rendered(label, 1);
    QCOMPARE(cache.rasterised() - start, 4);
}

void LargeTextTest::inputBoxLooksAsQtDrawsIt_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("preedit");
    QTest::addColumn<qreal>("ratio");
    for (const qreal ratio : {1.0, 2.0}) {
        const QByteArray at = ratio == 1 ? "" : " ×2";
        QTest::newRow("typed text" + at) << "きょうはabc"
                                         << "" << ratio;
        QTest::newRow("text and a composition" + at) << "きょう"
                                                     << "はれ" << ratio;
        QTest::newRow("longer than the box" + at)
            << "あいうえおかきくけこさしすせそたちつてとなにぬねの"
            << "" << ratio;
    }
}

void LargeTextTest::inputBoxLooksAsQtDrawsIt() {
    QFETCH(QString, text);
    QFETCH(QString, preedit);
    QFETCH(qreal, ratio);
    auto drawn = [&](bool fromCache) {
        InputBox box;
        box.setLargeTypeFromCache(fromCache);
        styleWhiteOnBlack(box, 1400);
        box.setText(text);
        if (!preedit.isEmpty()) {
            QInputMethodEvent composing(preedit, {});
            QApplication::sendEvent(&box, &composing);
        }
        rendered(box, ratio); // QLineEdit's first paint places the text; later ones may not
        return rendered(box, ratio);
    };
    const QImage qt = drawn(false);
    const qint64 before = GlyphImageCache::shared().rasterised();
    const QImage cached = drawn(true);
    QVERIFY(GlyphImageCache::shared().rasterised() > before);
    compareInk(cached, qt);
}

// The box draws its own cursor: shown while it has the focus, blinking, and back at once on
// a key.
void LargeTextTest::inputBoxCursorBlinksAndShowsOnTyping() {
    InputBox box;
    styleWhiteOnBlack(box, 600);
    box.show();
    box.activateWindow();
    box.setFocus();
    QVERIFY(QTest::qWaitForWindowActive(&box));
    auto cursorInk = [&] { return inkOf(rendered(box, 1)).amount; };
    QTRY_VERIFY(cursorInk() > 0);
    QTRY_VERIFY(cursorInk() == 0);
    QTest::keyClick(&box, Qt::Key_A);
    const qint64 withLetter = cursorInk();
    QTest::keyClick(&box, Qt::Key_Backspace);
    QVERIFY(cursorInk() > 0);
    QVERIFY(withLetter > cursorInk());
}

void LargeTextTest::inputBoxShowsOneCursorWhereItSays_data() {
    QTest::addColumn<BoxState>("state");
    QTest::addColumn<bool>("blinks");
    const auto typed = [](const char* text) {
        return [text](InputBox& box) { box.setText(QString::fromUtf8(text)); };
    };
    QTest::newRow("short line") << BoxState(typed("abc")) << true;
    QTest::newRow("line longer than the box")
        << BoxState(typed("abcdefghijklmnopqrstuvwxyzabcdefghijklmn")) << true;
    QTest::newRow("with a selection") << BoxState([](InputBox& box) {
        box.setText(QStringLiteral("abcdef"));
        box.setSelection(1, 3);
    }) << true;
    QTest::newRow("during a composition") << BoxState([](InputBox& box) {
        box.setText(QStringLiteral("きょう"));
        QTextCharFormat underlined;
        underlined.setUnderlineStyle(QTextCharFormat::DashUnderline);
        QInputMethodEvent composing(
            QStringLiteral("はれ"),
            {{QInputMethodEvent::TextFormat, 0, 2, underlined}, {QInputMethodEvent::Cursor, 2, 1}});
        QApplication::sendEvent(&box, &composing);
    }) << true;
    QTest::newRow("blinking off") << BoxState(typed("abc")) << false;
    // The box was drawn at one height, then made taller, then typed into.
    QTest::newRow("after a resize") << BoxState([](InputBox& box) {
        box.setText(QStringLiteral("ace"));
        rendered(box, 1);
        box.resize(box.width(), 2 * box.height());
        QTest::keyClick(&box, Qt::Key_S);
    }) << true;
}

// Over a blink period the box shows its cursor, never two, centred on its line where it tells
// the input method it is; with blinking off, in every frame.
void LargeTextTest::inputBoxShowsOneCursorWhereItSays() {
    QFETCH(BoxState, state);
    QFETCH(bool, blinks);
    constexpr int kFlashTime = 200;
    QStyleHints* hints = QGuiApplication::styleHints();
    const int flashTime = hints->cursorFlashTime();
    const auto restore = qScopeGuard([&] { hints->setCursorFlashTime(flashTime); });
    hints->setCursorFlashTime(blinks ? kFlashTime : 0);
    InputBox box;
    styleWhiteOnBlack(box, 600, Qt::yellow);
    box.show();
    box.activateWindow();
    box.setFocus();
    QVERIFY(QTest::qWaitForWindowActive(&box));
    state(box);

    const int tall = QFontMetrics(box.font()).height() * 9 / 10;
    int frames = 0, framesWithCursor = 0;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kFlashTime * 3 / 2) {
        QTest::qWait(10);
        const QList<QRect> bars = barsOf(rendered(box, 1), qRgb(255, 255, 0), tall);
        ++frames;
        QVERIFY2(bars.size() <= 1, "more than one cursor");
        if (bars.isEmpty())
            continue;
        ++framesWithCursor;
        QCOMPARE(bars[0], box.inputMethodQuery(Qt::ImCursorRectangle).toRect());
        QVERIFY2(std::abs(bars[0].center().y() - box.rect().center().y()) <= 2,
                 qPrintable(QStringLiteral("cursor at %1 to %2 in a box %3 high")
                                .arg(bars[0].top())
                                .arg(bars[0].bottom())
                                .arg(box.height())));
    }
    QVERIFY2(framesWithCursor > 0, "no cursor");
    if (!blinks)
        QCOMPARE(framesWithCursor, frames);
}

// In a line scrolled to its end, a click on the last character's right half puts the cursor
// after it, on its left half before it.
void LargeTextTest::aClickLandsOnTheCharacterDrawnUnderIt() {
    InputBox box;
    styleWhiteOnBlack(box, 400);
    box.show();
    box.setFocus();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    const QString line = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
    box.setText(line);
    box.end(false);
    (void)rendered(box, 1);
    const QRect cursor = box.inputMethodQuery(Qt::ImCursorRectangle).toRect();
    const int last = QFontMetrics(box.font()).horizontalAdvance(line.back());
    const QPoint onLastRight(cursor.x() - last / 4, cursor.center().y());
    const QPoint onLastLeft(cursor.x() - last * 3 / 4, cursor.center().y());
    QTest::mouseClick(&box, Qt::LeftButton, Qt::NoModifier, onLastLeft);
    QCOMPARE(box.cursorPosition(), line.size() - 1);
    QTest::mouseClick(&box, Qt::LeftButton, Qt::NoModifier, onLastRight);
    QCOMPARE(box.cursorPosition(), line.size());
}

// Where a widget was repainted since the last take().
struct PaintSpy : QObject {
    QRect area;
    explicit PaintSpy(QWidget& widget) { widget.installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            area |= static_cast<QPaintEvent*>(event)->rect();
        return false;
    }
    QRect take() { return std::exchange(area, QRect()); }
};

// What the screen shows of the window is what a repaint of all of it shows: no stale pixels.
void expectSameAsWholeRepaint(QWidget& window, const char* after) {
    const auto onScreen = [&] {
        return window.screen()
            ->grabWindow(window.winId())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    };
    QTest::qWait(20);
    const QImage shown = onScreen();
    window.repaint();
    QVERIFY2(onScreen() == shown, after);
}

// A key repaints a part of the box, and what the screen then shows is what a repaint of the
// whole box shows: typed, rubbed out, typed in the middle, and the line cleared.
void LargeTextTest::typingRepaintsOnlyWhatChanged() {
    InputBox box;
    styleWhiteOnBlack(box, 1400);
    box.show();
    box.activateWindow();
    box.setFocus();
    QVERIFY(QTest::qWaitForWindowActive(&box));
    PaintSpy spy(box);
    const auto expectWholeRepaint = [&](const char* after) {
        expectSameAsWholeRepaint(box, after);
    };

    QTest::keyClicks(&box, QStringLiteral("abcdef"));
    QTRY_VERIFY(!spy.area.isEmpty());
    spy.take();
    QTest::keyClick(&box, Qt::Key_G);
    QTRY_VERIFY(!spy.area.isEmpty());
    const QRect repainted = spy.take();
    QVERIFY2(repainted.width() < box.width() / 4,
             qPrintable(QStringLiteral("a key repainted %1 of %2 pixels")
                            .arg(repainted.width())
                            .arg(box.width())));
    expectWholeRepaint("typed at the end");
    QTest::keyClick(&box, Qt::Key_Backspace);
    expectWholeRepaint("rubbed out");
    QTest::keyClick(&box, Qt::Key_Left);
    QTest::keyClick(&box, Qt::Key_Left);
    QTest::keyClicks(&box, QStringLiteral("WW"));
    expectWholeRepaint("typed in the middle");
    connect(&box, &QLineEdit::textEdited, &box, [&box](const QString& text) {
        if (text.contains(u'!'))
            box.clear(); // as a window does when a line is done
    });
    QTest::keyClick(&box, Qt::Key_Exclam);
    QCOMPARE(box.text(), QString());
    expectWholeRepaint("cleared by a handler of the key");

    // A composition repaints from its start, what the input method changes in it included.
    box.setText(QStringLiteral("きょうは"));
    QTextCharFormat underlined, chosen;
    underlined.setUnderlineStyle(QTextCharFormat::DashUnderline);
    chosen.setBackground(Qt::blue);
    chosen.setForeground(Qt::white);
    const auto compose = [&](const QString& text, const QTextCharFormat& format, int cursor) {
        QInputMethodEvent composing(text,
                                    {{QInputMethodEvent::TextFormat, 0, int(text.size()), format},
                                     {QInputMethodEvent::Cursor, cursor, 1}});
        QApplication::sendEvent(&box, &composing);
    };
    expectWholeRepaint("text set");
    spy.take();
    compose(QStringLiteral("t"), underlined, 1);
    QTRY_VERIFY(!spy.area.isEmpty());
    QVERIFY2(spy.take().width() < box.width() / 2, "a composition repainted the whole box");
    expectWholeRepaint("composing");
    compose(QStringLiteral("天気"), underlined, 2);
    expectWholeRepaint("composing on");
    compose(QStringLiteral("天気"), chosen, 2);
    expectWholeRepaint("the same text chosen");
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("天気"));
    QApplication::sendEvent(&box, &commit);
    QCOMPARE(box.text(), QStringLiteral("きょうは天気"));
    expectWholeRepaint("committed");
}

// A label's one centred line is repainted where the old and the new line lie, and the screen
// shows what a whole repaint shows: a wider name after a narrow one, and back.
void LargeTextTest::centredLineRepaintsOnlyWhereItWas() {
    QWidget window;
    window.resize(1600, 300);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::WindowText, Qt::white);
    window.setPalette(palette);
    QLabel label(&window);
    label.setGeometry(0, 0, 1600, 300);
    label.setAlignment(Qt::AlignCenter);
    label.setFont(gothicPoints(129.75));
    label.setText(QStringLiteral("Ａ"));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    PaintSpy spy(label);
    for (const char* text : {"Ｗ", "Ｐｒｉｎｔ Ｓｃｒｅｅｎ", "↓", "Ａ"}) {
        spy.take();
        setCentredLine(&label, QString::fromUtf8(text));
        QTRY_VERIFY(!spy.area.isEmpty());
        QVERIFY2(spy.area.width() < label.width(), text);
        expectSameAsWholeRepaint(window, text);
    }
}

QTEST_MAIN(LargeTextTest)
#include "tst_largetext.moc"

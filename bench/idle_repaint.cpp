// What a repaint twice a second costs Qt itself, to set the entrance's turning title against:
//   idle_repaint label   a QLabel whose text turns every 500 ms
//   idle_repaint fill    a widget that fills its rectangle every 500 ms
//   idle_repaint window  a QRasterWindow that fills a rectangle every 500 ms
//   idle_repaint none    the same timer, nothing repainted
// Measured by bench/idle.sh.
#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QRasterWindow>
#include <QTimer>

namespace {

struct Filled : QWidget {
    int turns = 0;
    void paintEvent(QPaintEvent*) override {
        QPainter(this).fillRect(rect(), turns % 2 ? Qt::red : Qt::blue);
    }
};

struct FilledWindow : QRasterWindow {
    int turns = 0;
    void paintEvent(QPaintEvent*) override {
        QPainter(this).fillRect(QRect(10, 10, 400, 40), turns % 2 ? Qt::red : Qt::blue);
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("label");
    QTimer timer;
    QWidget top;
    top.setMinimumSize(1920, 1080);
    QLabel label(&top);
    Filled filled;
    FilledWindow window;
    QString title = QStringLiteral("とことこ Ver.３　　　　");
    if (mode == QLatin1String("window")) {
        window.resize(1920, 1080);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            ++window.turns;
            window.update(QRect(10, 10, 400, 40));
        });
        window.show();
    } else {
        label.setGeometry(10, 10, 600, 60);
        label.setText(title);
        filled.setParent(&top);
        filled.setAttribute(Qt::WA_OpaquePaintEvent);
        filled.setGeometry(10, 80, 400, 40);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (mode == QLatin1String("label")) {
                title = title.mid(1) + title.left(1);
                label.setText(title);
            } else if (mode == QLatin1String("fill")) {
                ++filled.turns;
                filled.update();
            }
        });
        top.show();
    }
    timer.start(500);
    return app.exec();
}

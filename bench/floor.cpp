// The floor for the benchmarks: the least a Qt 6 program can do that the tutor also does,
// one full-screen window showing one 250-point glyph that follows the typed key.
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>

class Floor : public QLabel {
public:
    Floor() {
        setWindowTitle(QStringLiteral("floor"));
        setAlignment(Qt::AlignCenter);
        QFont font;
        font.setFamilies({QStringLiteral("IPAPGothic")});
        font.setPointSizeF(250);
        setFont(font);
        setText(QStringLiteral("Ａ"));
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (!event->text().isEmpty())
            setText(event->text());
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    Floor floor;
    floor.resize(floor.screen()->size());
    floor.show();
    return app.exec();
}

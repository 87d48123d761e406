#pragma once

// What the tests of the four text windows share: a window of either language on its own fake
// platform, driven as the learner drives it, and rows that run a test once per language.

#include "FakePlatform.h"
#include "FormTest.h"

#include "drawing/InputBox.h"
#include "text/TextWindow.h"

#include <QFontMetrics>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include <memory>

Q_DECLARE_METATYPE(tokotoko::TextLanguage)

namespace tokotoko::test {

// A column "language" with one row for each window, named after it.
inline void addLanguageRows(const char* japaneseWindow, const char* englishWindow) {
    QTest::addColumn<TextLanguage>("language");
    QTest::newRow(japaneseWindow) << TextLanguage::Japanese;
    QTest::newRow(englishWindow) << TextLanguage::English;
}

// `Japanese` and `English` are the two windows of one exercise, both a `Window`.
template <typename Window, typename Japanese, typename English> struct TextWindowDriver {
    FakePlatform fake;
    PracticeFiles files;
    TextLanguage language;
    std::unique_ptr<Window> form;

    explicit TextWindowDriver(TextLanguage lang)
        : language(lang) {
        if (lang == TextLanguage::Japanese)
            form = std::make_unique<Japanese>(fake.platform());
        else
            form = std::make_unique<English>(fake.platform());
    }

    Window& f() const { return *form; }
    bool japanese() const { return language == TextLanguage::Japanese; }
    bool show() { return showActive(f()); }

    // What the window handed on for reading: the clipboard (Japanese) or the voice (English).
    const QStringList& presented() const {
        return japanese() ? fake.clipboard.texts : fake.speech.spoken;
    }
    QString lastPresented() const { return presented().isEmpty() ? QString() : presented().last(); }
    QString cue() const {
        return japanese() ? QStringLiteral("\\zannen.wav") : QStringLiteral("\\boo.wav");
    }

    // The open command choosing a new file with these lines (or bytes).
    void open(const QStringList& lines) { open(crlfLines(lines)); }
    void open(const QByteArray& bytes) {
        fake.dialogs.openResults.push_back(files.write(bytes));
        f().mnuFileOpen_Click();
    }

    // Types `text` into the input box as the learner would: ASCII key by key, anything else
    // as text the input method commits.
    void type(const QString& text) {
        bool ascii = true;
        for (const QChar c : text)
            ascii = ascii && c.unicode() >= 0x20 && c.unicode() < 0x7f;
        if (ascii)
            typeText(f(), text);
        else
            commitText(f(), text);
    }
    void enter() { pressKey(f(), Qt::Key_Return); }
    void enterLine(const QString& text) {
        type(text);
        enter();
    }
    void ctrl() { pressKey(f(), Qt::Key_Control, Qt::ControlModifier); }
    void escape() { pressKey(f(), Qt::Key_Escape); }

    template <typename Control> Control* control(const char* name) const {
        return test::control<Control>(f(), QString::fromLatin1(name));
    }
    DisplayBox* display() const { return control<DisplayBox>("txtHyoji"); }
    InputBox* input() const { return control<InputBox>("txtNyuryoku"); }
    QTimer* timer() const { return control<QTimer>("Timer1"); }
    QString caption(const char* name) const {
        const QLabel* found = control<QLabel>(name);
        return found ? found->text() : QStringLiteral("<missing %1>").arg(QLatin1String(name));
    }
    bool shown(const char* name) const {
        const QWidget* found = control<QWidget>(name);
        return found && found->isVisibleTo(&f());
    }

    // What the results line's place runs into: the window's edges and the other controls.
    QStringList crowdingTheResults() const {
        const QWidget* client = f().client();
        const QRect place = control<QWidget>("lblKekka")->geometry();
        QStringList found;
        if (!client->rect().contains(place))
            found << QStringLiteral("the window's edge");
        for (const QWidget* other :
             client->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (other->objectName() != QLatin1String("lblKekka") && !other->isWindow() &&
                other->geometry().intersects(place))
                found << other->objectName();
        }
        return found;
    }
    // Whether the results line shows `text` whole, in its rows, without wrapping it further.
    bool resultsFit(const QString& text) const {
        const QLabel* results = control<QLabel>("lblKekka");
        const QRect needed = QFontMetrics(results->font())
                                 .boundingRect(QRect(QPoint(), QSize(10000, 10000)),
                                               int(results->alignment()), text);
        return needed.width() <= results->contentsRect().width() &&
               needed.height() <= results->contentsRect().height();
    }
};

} // namespace tokotoko::test

#include "FormTest.h"

#include "common/FormWindow.h"

#include <QApplication>
#include <QFile>
#include <QInputMethodEvent>
#include <QTest>
#include <QTimer>

namespace tokotoko::test {

bool setInnerSize(FormWindow& form, QSize inner) {
    const int menuBar = form.formMenuBar() ? form.formMenuBar()->sizeHint().height() : 0;
    form.resize(inner.width(), inner.height() + menuBar);
    QCoreApplication::processEvents();
    return form.client() && form.client()->size() == inner;
}

void deleteDiscardedControls() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QByteArray crlfLines(const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += line.toUtf8() + "\r\n";
    return bytes;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QString PracticeFiles::write(const QByteArray& bytes) {
    if (!m_dir.isValid())
        qFatal("no folder for practice texts");
    const QString path = m_dir.filePath(QStringLiteral("text%1.txt").arg(++m_count));
    writeFile(path, bytes);
    return path;
}

bool showActive(FormWindow& form) {
    form.showForm();
    form.activateWindow();
    return QTest::qWaitForWindowActive(&form);
}

QWidget* keyReceiver(FormWindow& form) {
    if (QWidget* focus = form.focusWidget())
        return focus;
    return form.client() ? form.client() : &form;
}

QString keyText(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier))
        return {};
    const bool shifted = modifiers & Qt::ShiftModifier;
    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        const QChar letter = QChar(u'a' + (key - Qt::Key_A));
        return shifted ? QString(letter.toUpper()) : QString(letter);
    }
    if (key >= Qt::Key_Space && key <= Qt::Key_AsciiTilde)
        return QString(QChar(static_cast<char16_t>(key)));
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QStringLiteral("\r");
    case Qt::Key_Escape:
        return QStringLiteral("\x1b");
    case Qt::Key_Tab:
        return QStringLiteral("\t");
    case Qt::Key_Backspace:
        return QStringLiteral("\b");
    default:
        return {};
    }
}

void pressKey(FormWindow& form, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    pressKey(form, key, modifiers, keyText(key, modifiers));
}

void pressKey(FormWindow& form, Qt::Key key, Qt::KeyboardModifiers modifiers, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    sendKeyEvent(form, press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    sendKeyEvent(form, release);
}

void sendKeyEvent(FormWindow& form, QKeyEvent& event) {
    QWidget* receiver = keyReceiver(form);
    QSpontaneKeyEvent::setSpontaneous(&event);
    QApplication::sendEvent(receiver, &event);
}

void typeText(FormWindow& form, const QString& text) {
    for (const QChar character : text) {
        const char16_t code = character.unicode();
        Qt::Key key = Qt::Key_unknown;
        Qt::KeyboardModifiers modifiers = Qt::NoModifier;
        if (code >= u'a' && code <= u'z') {
            key = Qt::Key(Qt::Key_A + (code - u'a'));
        } else if (code >= u'A' && code <= u'Z') {
            key = Qt::Key(code);
            modifiers = Qt::ShiftModifier;
        } else if (code >= u' ' && code <= u'~') {
            key = Qt::Key(code);
        }
        pressKey(form, key, modifiers, QString(character));
    }
}

void commitText(FormWindow& form, const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(keyReceiver(form), &event);
}

QKeyEvent x11KeyEvent(QEvent::Type type, Qt::Key key, Qt::KeyboardModifiers modifiers,
                      quint32 keycode, quint32 state, const QString& text) {
    return QKeyEvent(type, key, modifiers, keycode, 0, state, text);
}

int execUntilExit(int timeoutMs) {
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, qApp, [] { QCoreApplication::exit(1); });
    watchdog.start(timeoutMs);
    return QCoreApplication::exec();
}

} // namespace tokotoko::test

#include "QtServices.h"

#include "IBusInputMode.h"

#include "../KeyTranslation.h"
#include "../WindowSystem.h"
#include "drawing/InputBox.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QTime>
#include <QTimer>
#include <QWindow>

#include <chrono>
#include <random>

namespace tokotoko {

// Watches the application's events for the input that gives Qt a serial to offer a clipboard
// text with, and for the loss of the keyboard focus.
class QtClipboard::InputWatch final : public QObject {
public:
    explicit InputWatch(QtClipboard& clipboard)
        : m_clipboard(clipboard) {
        qApp->installEventFilter(this);
        connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* window) {
            if (!window)
                m_clipboard.focusLost();
        });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // Keys the program posts itself carry no serial: only the window system's count.
        const QEvent::Type type = event->type();
        if (event->spontaneous() && (type == QEvent::KeyPress || type == QEvent::MouseButtonPress))
            m_clipboard.inputArrived();
        return QObject::eventFilter(watched, event);
    }

private:
    QtClipboard& m_clipboard;
};

QtClipboard::QtClipboard()
    : QtClipboard(onWayland()) {}

QtClipboard::QtClipboard(bool needsInputSerial)
    : m_needsInputSerial(needsInputSerial) {
    if (m_needsInputSerial && qApp)
        m_inputWatch = std::make_unique<InputWatch>(*this);
}

QtClipboard::~QtClipboard() = default;

void QtClipboard::setText(const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return;
    clipboard->setText(text, QClipboard::Clipboard);
    m_hasPendingText = m_needsInputSerial && !m_inputSinceFocus;
    if (m_hasPendingText)
        m_pendingText = text;
}

// Offered once: a later key must not take back a clipboard another program has set since.
void QtClipboard::inputArrived() {
    m_inputSinceFocus = true;
    if (!m_hasPendingText)
        return;
    m_hasPendingText = false;
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(m_pendingText, QClipboard::Clipboard);
}

void QtClipboard::focusLost() {
    m_inputSinceFocus = false;
}

int SystemClock::timeOfDay() const {
    return QTime::currentTime().msecsSinceStartOfDay() / 1000;
}

qint64 SystemClock::monotonicMs() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

float SystemClock::reseededRandom() {
    using namespace std::chrono;
    const auto nanos = static_cast<std::uint64_t>(
        duration_cast<nanoseconds>(high_resolution_clock::now().time_since_epoch()).count());
    std::seed_seq seed{static_cast<std::uint32_t>(nanos), static_cast<std::uint32_t>(nanos >> 32)};
    std::mt19937 generator(seed);
    // 24 random bits make a float in [0, 1) that can never round up to 1.
    return static_cast<float>(generator() >> 8) * (1.0f / 16777216.0f);
}

namespace {

QString withLineFeeds(QString text) {
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

void showBox(QMessageBox::Icon icon, QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(icon, title, withLineFeeds(text), QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace

void QtDialogs::information(QWidget* parent, const QString& title, const QString& text) {
    showBox(QMessageBox::Information, parent, title, text);
}

void QtDialogs::warning(QWidget* parent, const QString& title, const QString& text) {
    showBox(QMessageBox::Warning, parent, title, text);
}

QStringList qtNameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString& pattern = parts[i + 1];
        if (description.isEmpty() && pattern.isEmpty())
            continue;
        const QString qtPatterns = QString(pattern).replace(QLatin1Char(';'), QLatin1Char(' '));
        if (description.contains(QLatin1Char('(') + qtPatterns + QLatin1Char(')')))
            filters << description;
        else
            filters << description + QLatin1String(" (") + qtPatterns + QLatin1Char(')');
    }
    return filters;
}

namespace {

// The file-name box's completer list is a popup, and Enter reaches the box (which accepts the
// dialog) before the list closes. The window system then hands the focus back to the window
// underneath while Qt is still in popup mode, and Qt drops that activation for good: the
// window has the keyboard but is not active, so a screen reader loses it. Closing the list
// first lets the activation through.
class OpenFileDialog final : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void done(int result) override {
        // While the dialog is modal, any popup open is its own (the list has no parent).
        QWidget* previous = nullptr;
        while (QWidget* popup = QApplication::activePopupWidget()) {
            if (popup == previous)
                break;
            popup->close();
            previous = popup;
        }
        QFileDialog::done(result);
    }
};

} // namespace

QString QtDialogs::openFile(QWidget* parent, const QString& filter, const QString& startName,
                            const QString& startFolder) {
    // Qt's own dialog, so that it behaves the same on every desktop and can be driven from
    // the keyboard alone: type a path into the file-name box and press Enter.
    OpenFileDialog dialog(parent, QStringLiteral("開く"));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(qtNameFilters(filter));
    if (!startName.isEmpty()) {
        const QFileInfo info(startName);
        dialog.setDirectory(info.absolutePath());
        dialog.selectFile(info.fileName());
    } else if (!startFolder.isEmpty()) {
        dialog.setDirectory(startFolder);
    }
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

bool QtLauncher::startTextEditor() {
#ifdef Q_OS_WIN
    return QProcess::startDetached(QStringLiteral("notepad.exe"), {});
#else
    static const char* const kEditors[] = {
        "gnome-text-editor", "gedit",   "kwrite", "kate",  "mousepad", "pluma", "xed",
        "featherpad",        "leafpad", "geany",  "xedit",
    };
    for (const char* editor : kEditors) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(editor));
        if (!path.isEmpty() && QProcess::startDetached(path, {}))
            return true;
    }
    return false;
#endif
}

void QtAppControl::endProgram() {
    // main leaves through _Exit once the event loop returns, so nothing waits for windows,
    // threads or a clipboard manager.
    QCoreApplication::exit(0);
}

QStringList QtAppControl::dataFolders() const {
    const QString programFolder = QCoreApplication::applicationDirPath();
    QStringList folders{programFolder,
                        QDir::cleanPath(programFolder + QLatin1String("/../share/tokotoko"))};
#ifdef TOKOTOKO_INSTALL_DATADIR
    const QString installed = QStringLiteral(TOKOTOKO_INSTALL_DATADIR);
    if (!folders.contains(installed))
        folders << installed;
#endif
    return folders;
}

void QtKeyInjector::post(QWidget* window, int virtualKey, Direction direction,
                         Qt::KeyboardModifiers modifiers) {
    if (!window)
        return;
    const Qt::Key key = qtKeyForVirtualKey(virtualKey, modifiers.testFlag(Qt::ShiftModifier));
    if (key == Qt::Key_unknown)
        return;
    QString text;
    switch (key) {
    case Qt::Key_Tab:
        text = QStringLiteral("\t");
        break;
    case Qt::Key_Escape:
        text = QStringLiteral("\x1b");
        break;
    case Qt::Key_Return:
        text = QStringLiteral("\r");
        break;
    case Qt::Key_Space:
        text = QStringLiteral(" ");
        break;
    default:
        break;
    }
    QWidget* receiver = window->focusWidget() ? window->focusWidget() : window;
    const auto type = direction == Direction::Down ? QEvent::KeyPress : QEvent::KeyRelease;
    QCoreApplication::postEvent(receiver, new QKeyEvent(type, key, modifiers, text));
}

QtInputMethod::QtInputMethod() {
    if (IBusInputMode::inUse())
        m_ibus = std::make_unique<IBusInputMode>();
}

QtInputMethod::~QtInputMethod() = default;

void QtInputMethod::callFcitx(const QString& method) {
    // Only a session that already has a bus: asking for one could start a daemon.
    if (!qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS"))
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage message = QDBusMessage::createMethodCall(
        QStringLiteral("org.fcitx.Fcitx5"), QStringLiteral("/controller"),
        QStringLiteral("org.fcitx.Fcitx.Controller1"), method);
    // Never start fcitx5 where the learner does not run it; never wait for the answer.
    message.setAutoStartService(false);
    bus.send(message);
}

void QtInputMethod::activateFcitx() {
    callFcitx(QStringLiteral("Activate"));
}

void QtInputMethod::switchOff(QWidget* window) {
    if (window) {
        window->setAttribute(Qt::WA_InputMethodEnabled, false);
        if (QWidget* focus = window->focusWidget())
            focus->setAttribute(Qt::WA_InputMethodEnabled, false);
    }
    callFcitx(QStringLiteral("Deactivate"));
}

void QtInputMethod::useHiragana(InputBox& box) {
    box.setCompositionAllowed(true);
    if (m_ibus)
        m_ibus->follow(box);
    QObject::connect(&box, &InputBox::readyForTyping, &box, [&box] {
        activateFcitx();
        // The input method learns of the new focus through its own connection, which may be
        // read after ours on a busy desktop: switch again, while the box keeps the focus,
        // until its input context has surely followed.
        for (const int delayMs : {150, 500, 1500}) {
            QTimer::singleShot(delayMs, &box, [&box] {
                if (box.hasFocus() && !box.isReadOnly())
                    activateFcitx();
            });
        }
    });
    if (box.hasFocus())
        activateFcitx();
}

void QtInputMethod::useAlphanumeric(InputBox& box) {
    box.setCompositionAllowed(false);
}

} // namespace tokotoko

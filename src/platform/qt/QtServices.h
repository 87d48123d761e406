#pragma once

// The real desktop behind the platform interfaces. Only main (through makeQtPlatform) and the
// platform's own tests build these.

#include "../AppControl.h"
#include "../Clipboard.h"
#include "../Clock.h"
#include "../Dialogs.h"
#include "../InputMethod.h"
#include "../KeyInjector.h"
#include "../Launcher.h"

#include <QStringList>

#include <memory>

namespace tokotoko {

// On Wayland the compositor takes a clipboard text only with the serial of an input event
// the program has received, and Qt 6.4 has none to give before the first key or click (not
// even once a window has the keyboard focus). A text set while no input has arrived since
// the program got the focus (the entrance's first entry at start-up, a window opened while
// the program is in the background) is offered again with the first key or click.
class QtClipboard final : public Clipboard {
public:
    QtClipboard();
    explicit QtClipboard(bool needsInputSerial);
    ~QtClipboard() override;
    QtClipboard(const QtClipboard&) = delete;
    QtClipboard& operator=(const QtClipboard&) = delete;
    void setText(const QString& text) override;

private:
    class InputWatch;
    void inputArrived();
    void focusLost();

    bool m_needsInputSerial = false;
    bool m_inputSinceFocus = false;
    bool m_hasPendingText = false;
    QString m_pendingText;
    std::unique_ptr<InputWatch> m_inputWatch;
};

class SystemClock final : public Clock {
public:
    int timeOfDay() const override;
    qint64 monotonicMs() const override;
    float reseededRandom() override;
};

class QtDialogs final : public Dialogs {
public:
    void information(QWidget* parent, const QString& title, const QString& text) override;
    void warning(QWidget* parent, const QString& title, const QString& text) override;
    QString openFile(QWidget* parent, const QString& filter, const QString& startName,
                     const QString& startFolder) override;
};

// Qt's name filters from the "description|pattern|description|pattern|" form.
QStringList qtNameFilters(const QString& filter);

class QtLauncher final : public Launcher {
public:
    bool startTextEditor() override;
};

class QtAppControl final : public AppControl {
public:
    void endProgram() override;
    QStringList dataFolders() const override;
};

class QtKeyInjector final : public KeyInjector {
public:
    void post(QWidget* window, int virtualKey, Direction direction,
              Qt::KeyboardModifiers modifiers) override;
};

class IBusInputMode;

// fcitx5 through its D-Bus controller on the session bus; IBus, where Qt uses it, through
// IBusInputMode.
class QtInputMethod final : public InputMethod {
public:
    QtInputMethod();
    ~QtInputMethod() override;
    QtInputMethod(const QtInputMethod&) = delete;
    QtInputMethod& operator=(const QtInputMethod&) = delete;
    void switchOff(QWidget* window) override;
    void useHiragana(InputBox& box) override;
    void useAlphanumeric(InputBox& box) override;

private:
    static void callFcitx(const QString& method);
    static void activateFcitx();

    std::unique_ptr<IBusInputMode> m_ibus;
};

} // namespace tokotoko

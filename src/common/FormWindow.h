#pragma once

// Architecture of a window
// ------------------------
// Every window of the program is one FormWindow subclass named after the window (frmEntrance,
// frmKeyGuide, ...), with one public method per event handler (Form_Load, Form_KeyDown,
// Timer1_Timer, mnuEnd_Click, ...). Qt's events are translated here, once, into those
// handlers; the windows never see a QKeyEvent.
//
// A window object lives for the whole run, but its controls do not: showForm() builds them
// afresh (createControls) and runs Form_Load; unload() (and the window system's close
// command) stops their timers and discards them. Fields of the subclass are the window's
// state and survive unloading; pointers to controls are only valid while isLoaded().
//
// Keys: a key press is handled once, at the widget it was first sent to (the focus widget,
// or the window's inner area when no control has the focus). With key preview on, or when no
// control has the focus, the window sees the key first (Form_KeyDown, then each character
// through Form_KeyPress, where 0 swallows it); then the focused control's handlers run
// (Control_KeyDown, Control_KeyPress). A key without a virtual-key code (keypad "=", media
// keys) runs no key-down handler, unless the window asks to see it in Form_KeyDown, code 0.
// Characters committed by an input method to the inner area arrive through Form_KeyPress like
// typed ones.

#include "Layout.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

class QMenuBar;
class QVBoxLayout;
class QKeyEvent;
class QInputMethodEvent;

namespace tokotoko {

class Platform;

class FormWindow : public QWidget {
    Q_OBJECT
public:
    explicit FormWindow(Platform& platform);
    ~FormWindow() override;

    // Builds the controls and runs Form_Load when the window is not loaded, then shows it
    // modeless and brings it forward.
    void showForm();
    // Closes the window: its timers stop and its controls are discarded.
    void unload();
    bool isLoaded() const { return m_client != nullptr; }

    virtual void Form_Load() = 0;
    virtual void Form_Resize() {}
    virtual void Form_KeyDown(int keyCode, int shift);
    virtual void Form_KeyPress(int& keyAscii);

    bool keyPreview() const { return m_keyPreview; }
    // The inner area below the menu bar; every control is its descendant.
    QWidget* client() const { return m_client; }
    QMenuBar* formMenuBar() const { return m_menuBar; }
    Platform& platform() const { return m_platform; }

protected:
    // Builds every control with its initial appearance, under client() and in formMenuBar().
    virtual void createControls() = 0;
    // Runs just before the controls are discarded.
    virtual void Form_Unload() {}
    virtual void Control_KeyDown(QWidget* control, int keyCode, int shift);
    virtual void Control_KeyPress(QWidget* control, int& keyAscii);
    virtual void Control_GotFocus(QWidget* control);
    virtual void Control_LostFocus(QWidget* control);

    void setKeyPreview(bool on) { m_keyPreview = on; }
    // Whether Form_KeyDown also runs, with key code 0, for keys that have no virtual-key code.
    void setFormKeyDownWithoutCode(bool on) { m_formKeyDownWithoutCode = on; }
    // Whether the inner area takes text from the input method when it has the focus.
    void setInnerAreaComposes(bool on);

    // Moves the window's outer frame to the screen's top-left corner with the screen's size,
    // not maximized and still resizable.
    void placeFullScreen();
    void showVersionBox();
    // Has the learner's screen reader say `text`: after the key or other event being handled,
    // together with whatever else it announces.
    void announce(const QString& text);
    // Said first of a key's announcement, asked once its handlers have run: what only the
    // whole key decides (a verdict with the counts it leaves). Nothing by default.
    virtual QString keyAnnouncementLead() { return {}; }
    // Gives `control` the focus now and runs its got-focus handler, even while the window
    // system has not activated the window yet.
    void focusControl(QWidget* control);

    double innerHeightTwips() const;
    double innerWidthTwips() const;
    double outerWidthTwips() const;
    LayoutUnits units() const;
    // Places a control, relative to its parent, at a place given in twips.
    void place(QWidget* control, float height, float width, float top, float left) const;

    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void loadControls();
    void discardControls();
    bool belongsToControls(const QWidget* widget) const;
    bool isFirstReceiver(const QObject* watched) const;
    bool dispatchKeyPress(QWidget* receiver, QKeyEvent* event);
    bool dispatchKeyPressToHandlers(QWidget* receiver, QKeyEvent* event);
    void dispatchCommit(const QInputMethodEvent* event);
    void beginKey();
    void endKey();
    void sayAnnouncement();
    void fitFrameToScreen();

    Platform& m_platform;
    QVBoxLayout* m_layout = nullptr;
    QWidget* m_client = nullptr;
    QMenuBar* m_menuBar = nullptr;
    QPointer<QWidget> m_focusControl;
    bool m_keyPreview = false;
    bool m_formKeyDownWithoutCode = false;
    bool m_fitFramePending = false;
    int m_keyDepth = 0;         // keys being handled (a handler may send one more)
    QStringList m_announcement; // announced during the key or event, not said yet
    bool m_announcementScheduled = false;
};

} // namespace tokotoko

#include "FormWindow.h"

#include "VersionBox.h"
#include "platform/KeyTranslation.h"
#include "platform/Platform.h"
#include "platform/WindowSystem.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

namespace tokotoko {
namespace {

// The inner area: takes the keyboard when no control has it. It is given the focus
// explicitly and is never part of the Tab chain of the controls.
class InnerArea final : public QWidget {
public:
    explicit InnerArea(QWidget* parent)
        : QWidget(parent) {
        setObjectName(QStringLiteral("innerArea"));
        setFocusPolicy(Qt::NoFocus);
        setAttribute(Qt::WA_InputMethodEnabled, true);
        setAutoFillBackground(true);
    }
};

// The program's windows, most recently active first: when one closes, the one that was active
// before it becomes active again.
std::vector<QPointer<FormWindow>>& activationOrder() {
    static std::vector<QPointer<FormWindow>> order;
    return order;
}

void forgetActivation(FormWindow* form) {
    auto& order = activationOrder();
    order.erase(std::remove_if(order.begin(), order.end(),
                               [form](const QPointer<FormWindow>& entry) {
                                   return entry.isNull() || entry.data() == form;
                               }),
                order.end());
}

bool isWindowActivationFocus(const QFocusEvent* event) {
    return event->reason() == Qt::ActiveWindowFocusReason ||
           event->reason() == Qt::PopupFocusReason;
}

} // namespace

FormWindow::FormWindow(Platform& platform)
    : QWidget(nullptr, Qt::Window)
    , m_platform(platform) {
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    setAttribute(Qt::WA_InputMethodEnabled, true);
    qApp->installEventFilter(this);
}

FormWindow::~FormWindow() {
    forgetActivation(this);
    qApp->removeEventFilter(this);
}

void FormWindow::Form_KeyDown(int, int) {}
void FormWindow::Form_KeyPress(int&) {}
void FormWindow::Control_KeyDown(QWidget*, int, int) {}
void FormWindow::Control_KeyPress(QWidget*, int&) {}
void FormWindow::Control_GotFocus(QWidget*) {}
void FormWindow::Control_LostFocus(QWidget*) {}

void FormWindow::showForm() {
    if (!isLoaded())
        loadControls();
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

void FormWindow::unload() {
    close();
}

void FormWindow::loadControls() {
    m_client = new InnerArea(this);
    m_layout->addWidget(m_client);
    m_menuBar = new QMenuBar(this);
    m_menuBar->setObjectName(QStringLiteral("menuBar"));
    m_layout->setMenuBar(m_menuBar);
    createControls();
    Form_Load();
    if (isLoaded() && !focusWidget())
        m_client->setFocus(Qt::OtherFocusReason);
}

void FormWindow::discardControls() {
    if (!isLoaded())
        return;
    Form_Unload();
    QWidget* client = m_client;
    QMenuBar* menuBar = m_menuBar;
    m_client = nullptr;
    m_menuBar = nullptr;
    m_focusControl = nullptr;
    for (QTimer* timer : client->findChildren<QTimer*>())
        timer->stop();
    m_layout->removeWidget(client);
    m_layout->setMenuBar(nullptr);
    client->hide();
    menuBar->hide();
    // Later, not now: the controls may be in the middle of handling the event that closed us.
    client->deleteLater();
    menuBar->deleteLater();
}

void FormWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    discardControls();
    forgetActivation(this);
    // The window that was active before becomes the active one again, also where no window
    // manager would hand it the focus.
    for (const QPointer<FormWindow>& form : activationOrder()) {
        if (form && form->isVisible() && form->isLoaded()) {
            form->activateWindow();
            return;
        }
    }
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        auto* form = qobject_cast<FormWindow*>(window);
        if (form && form != this && form->isVisible() && form->isLoaded()) {
            form->activateWindow();
            return;
        }
    }
}

void FormWindow::setInnerAreaComposes(bool on) {
    // The window itself takes the keys when a focused control was disabled.
    setAttribute(Qt::WA_InputMethodEnabled, on);
    if (m_client)
        m_client->setAttribute(Qt::WA_InputMethodEnabled, on);
}

void FormWindow::placeFullScreen() {
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    setWindowState(windowState() &
                   ~(Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized));
    const QRect area = screen->geometry();
    // A Wayland client cannot place its window: once it is shown, ask the compositor to fill
    // the screen with it instead (title and menu bars kept); the resize handler lays out
    // whatever size the compositor gives. (Qt 6.4 never maps a window maximized before show.)
    if (onWayland()) {
        resize(area.size());
        QTimer::singleShot(0, this, [this] {
            if (isVisible())
                setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
        });
        return;
    }
    move(area.topLeft());
    resize(area.size());
    m_fitFramePending = true;
    if (isVisible())
        fitFrameToScreen();
}

// The frame's size is known only once the window system has decorated the window: then make
// the whole frame, not just the inner window, as large as the screen.
void FormWindow::fitFrameToScreen() {
    if (!m_fitFramePending || !screen())
        return;
    const QRect area = screen()->geometry();
    const QSize frameExtra = frameGeometry().size() - size();
    if (frameExtra.width() < 0 || frameExtra.height() < 0)
        return;
    resize(area.size() - frameExtra);
    move(area.topLeft());
    if (frameExtra.width() > 0 || frameExtra.height() > 0)
        m_fitFramePending = false;
}

bool FormWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        forgetActivation(this);
        activationOrder().insert(activationOrder().begin(), this);
        if (!m_announcement.isEmpty())
            QTimer::singleShot(0, this, &FormWindow::sayAnnouncement);
    }
    if (event->type() == QEvent::Show && m_fitFramePending) {
        QTimer::singleShot(0, this, &FormWindow::fitFrameToScreen);
        QTimer::singleShot(300, this, [this] {
            fitFrameToScreen();
            m_fitFramePending = false;
        });
    }
    return QWidget::event(event);
}

void FormWindow::showVersionBox() {
    tokotoko::showVersionBox(m_platform, this);
}

void FormWindow::focusControl(QWidget* control) {
    if (!control)
        return;
    control->setFocus(Qt::OtherFocusReason);
    if (m_focusControl != control) {
        if (QWidget* previous = m_focusControl.data())
            Control_LostFocus(previous);
        m_focusControl = control;
        Control_GotFocus(control);
    }
}

double FormWindow::innerHeightTwips() const {
    return m_client ? m_client->height() * twipsPerPixel(*this) : 0.0;
}

double FormWindow::innerWidthTwips() const {
    return m_client ? m_client->width() * twipsPerPixel(*this) : 0.0;
}

double FormWindow::outerWidthTwips() const {
    return frameGeometry().width() * twipsPerPixel(*this);
}

LayoutUnits FormWindow::units() const {
    return layoutUnits(innerHeightTwips(), innerWidthTwips());
}

void FormWindow::place(QWidget* control, float height, float width, float top, float left) const {
    if (control)
        control->setGeometry(toPixels(TwipsRect{height, width, top, left}, twipsPerPixel(*this)));
}

bool FormWindow::belongsToControls(const QWidget* widget) const {
    return m_client && widget && (widget == m_client || m_client->isAncestorOf(widget));
}

// A key event travels up the parents of the widget it was sent to; handle it only there.
bool FormWindow::isFirstReceiver(const QObject* watched) const {
    const QWidget* focus = focusWidget();
    if (focus && belongsToControls(focus))
        return watched == focus;
    return watched == m_client || watched == this;
}

bool FormWindow::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::InputMethod && type != QEvent::FocusIn &&
        type != QEvent::FocusOut && type != QEvent::Resize)
        return false;
    if (!watched->isWidgetType() || !isLoaded())
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (widget != this && !belongsToControls(widget))
        return false;

    switch (type) {
    case QEvent::KeyPress:
        if (!isFirstReceiver(watched))
            return false;
        return dispatchKeyPress(widget, static_cast<QKeyEvent*>(event));
    case QEvent::InputMethod:
        if (widget != m_client && widget != this)
            return false;
        dispatchCommit(static_cast<QInputMethodEvent*>(event));
        return true;
    case QEvent::FocusIn:
        if (widget != m_client && widget != this && widget != m_focusControl) {
            m_focusControl = widget;
            Control_GotFocus(widget);
        }
        return false;
    case QEvent::FocusOut:
        if (widget == m_focusControl &&
            !isWindowActivationFocus(static_cast<QFocusEvent*>(event))) {
            m_focusControl = nullptr;
            Control_LostFocus(widget);
        }
        return false;
    case QEvent::Resize:
        if (widget == m_client)
            Form_Resize();
        return false;
    default:
        return false;
    }
}

void FormWindow::announce(const QString& text) {
    if (text.isEmpty())
        return;
    m_announcement << text;
    // Outside a key (a tick, a menu command, loading), what the same event announces is
    // gathered too, and said once the event is over.
    if (m_keyDepth == 0 && !m_announcementScheduled) {
        m_announcementScheduled = true;
        QTimer::singleShot(0, this, [this] {
            m_announcementScheduled = false;
            sayAnnouncement();
        });
    }
}

void FormWindow::beginKey() {
    ++m_keyDepth;
}

void FormWindow::endKey() {
    if (--m_keyDepth == 0)
        sayAnnouncement();
}

void FormWindow::sayAnnouncement() {
    if (m_keyDepth > 0)
        return;
    const QString lead = keyAnnouncementLead();
    if (!lead.isEmpty())
        m_announcement.prepend(lead);
    // A window not shown yet says it once the window system has activated it.
    if (m_announcement.isEmpty() || !isVisible())
        return;
    m_platform.announcer().announce(this, m_announcement.join(QStringLiteral("、")));
    m_announcement.clear();
}

bool FormWindow::dispatchKeyPress(QWidget* receiver, QKeyEvent* event) {
    beginKey();
    const bool handled = dispatchKeyPressToHandlers(receiver, event);
    endKey();
    return handled;
}

bool FormWindow::dispatchKeyPressToHandlers(QWidget* receiver, QKeyEvent* event) {
    const KeyStroke stroke = translateKey(*event);
    const bool atWindow = receiver == m_client || receiver == this;
    const bool toForm = m_keyPreview || atWindow;
    QPointer<QWidget> guard(receiver);
    const auto stillThere = [&] { return isLoaded() && guard; };

    if (toForm && (stroke.keyCode != 0 || m_formKeyDownWithoutCode))
        Form_KeyDown(stroke.keyCode, stroke.shift);
    if (!stillThere())
        return true;
    if (!atWindow && stroke.keyCode != 0)
        Control_KeyDown(receiver, stroke.keyCode, stroke.shift);
    if (!stillThere())
        return true;

    bool swallowed = false;
    const QList<uint> characters = event->text().toUcs4();
    for (const uint character : characters) {
        if (character == 0x7f) // Delete gives no character
            continue;
        int keyAscii = static_cast<int>(character);
        if (toForm)
            Form_KeyPress(keyAscii);
        if (!stillThere())
            return true;
        if (keyAscii != 0 && !atWindow)
            Control_KeyPress(receiver, keyAscii);
        if (!stillThere())
            return true;
        swallowed = swallowed || keyAscii == 0;
    }
    return atWindow || swallowed;
}

void FormWindow::dispatchCommit(const QInputMethodEvent* event) {
    beginKey();
    const QList<uint> characters = event->commitString().toUcs4();
    for (const uint character : characters) {
        int keyAscii = static_cast<int>(character);
        Form_KeyPress(keyAscii);
        if (!isLoaded())
            break;
    }
    endKey();
}

} // namespace tokotoko

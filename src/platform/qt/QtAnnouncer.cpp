#include "QtAnnouncer.h"

#include "HeldAltGuard.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QLabel>
#include <QWidget>
#include <QtGlobal>

namespace tokotoko {

const char* const QtAnnouncer::kNotificationName = "announcement";

#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
namespace {

class NotificationLabel final : public QLabel {
public:
    explicit NotificationLabel(QWidget* window)
        : QLabel(window) {
        setObjectName(QLatin1String(QtAnnouncer::kNotificationName));
        setFocusPolicy(Qt::NoFocus);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setGeometry(0, 0, 0, 0);
    }
};

class NotificationAccessible final : public QAccessibleWidget {
public:
    explicit NotificationAccessible(NotificationLabel* label)
        : QAccessibleWidget(label, QAccessible::Notification) {}

    QString text(QAccessible::Text type) const override {
        if (type == QAccessible::Name)
            return static_cast<const QLabel*>(widget())->text();
        return QAccessibleWidget::text(type);
    }
};

QAccessibleInterface* notificationFactory(const QString&, QObject* object) {
    if (auto* label = dynamic_cast<NotificationLabel*>(object))
        return new NotificationAccessible(label);
    return nullptr;
}

} // namespace
#endif

QtAnnouncer::QtAnnouncer()
    : QtAnnouncer(&QAccessible::isActive) {
    m_heldAltGuard = std::make_unique<HeldAltGuard>(&QAccessible::isActive);
    qApp->installEventFilter(m_heldAltGuard.get());
}

QtAnnouncer::QtAnnouncer(std::function<bool()> screenReaderRuns)
    : m_screenReaderRuns(std::move(screenReaderRuns)) {}

QtAnnouncer::~QtAnnouncer() {
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    if (m_factoryInstalled)
        QAccessible::removeFactory(notificationFactory);
#endif
}

void QtAnnouncer::announce(QWidget* window, const QString& text) {
    if (!window || text.isEmpty() || !m_screenReaderRuns())
        return;
    window = window->window();
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QAccessibleAnnouncementEvent event(window, text);
    QAccessible::updateAccessibility(&event);
#else
    if (!m_factoryInstalled) {
        QAccessible::installFactory(notificationFactory);
        m_factoryInstalled = true;
    }
    auto* label = window->findChild<NotificationLabel*>(QLatin1String(kNotificationName),
                                                        Qt::FindDirectChildrenOnly);
    if (!label)
        label = new NotificationLabel(window);
    // Only the showing is spoken: a visible notification's new text is not.
    label->hide();
    label->setText(text);
    label->show();
#endif
}

} // namespace tokotoko

#pragma once

#include "../Announcer.h"

#include <QObject>

#include <functional>
#include <memory>

namespace tokotoko {

// Before Qt 6.8 there is no announcement event: a screen reader (Orca 43 measured) speaks a
// widget whose accessible role is Notification when it is shown, and nothing else reaches it
// reliably (name, description and value changes, alerts, the clipboard are all silent). Each
// window gets one such widget, 0×0 and never focused, hidden and shown again with each text.
class QtAnnouncer final : public Announcer {
public:
    QtAnnouncer();
    // `screenReaderRuns` stands in for Qt's own answer in tests.
    explicit QtAnnouncer(std::function<bool()> screenReaderRuns);
    ~QtAnnouncer() override;
    QtAnnouncer(const QtAnnouncer&) = delete;
    QtAnnouncer& operator=(const QtAnnouncer&) = delete;

    void announce(QWidget* window, const QString& text) override;

    // The object name of a window's notification widget.
    static const char* const kNotificationName;

private:
    std::function<bool()> m_screenReaderRuns;
    bool m_factoryInstalled = false;
    std::unique_ptr<QObject> m_heldAltGuard; // the real screen reader's key delays
};

} // namespace tokotoko

#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QDBusConnection;
class QDBusMessage;

namespace tokotoko {

class InputBox;

// Japanese input under IBus, over ibus-daemon's own bus: mozc is made the global engine (only
// when it is not already: selecting it again would re-create it) and put in hiragana while a
// Japanese box is ready for typing; when the box is left, mozc goes back to the mode the
// learner had, since under IBus the mode is shared by every window and program.
//
// ibus-daemon answers an input context's methods only on the connection that created it, Qt's
// own, so the mode is asked of the mozc engine itself, found from the properties it registers
// when it takes the focus. Nothing waits on the bus: the connection is made on a thread of its
// own and every call is asynchronous. Where no ibus-daemon runs, nothing happens.
class IBusInputMode final : public QObject {
    Q_OBJECT
public:
    IBusInputMode();
    ~IBusInputMode() override;
    IBusInputMode(const IBusInputMode&) = delete;
    IBusInputMode& operator=(const IBusInputMode&) = delete;

    // Whether Qt hands the program's input to IBus.
    static bool inUse();
    // `box` wants hiragana whenever it is ready for typing.
    void follow(InputBox& box);

private:
    enum class Link { None, Connecting, Up };

    void boxReady(InputBox* box);
    void boxLeft(InputBox* box);
    bool eventFilter(QObject* watched, QEvent* event) override;
    void connectToDaemon();
    void linked(bool connected);
    QDBusConnection bus() const;
    void askGlobalEngine();
    void useMozc();
    void findMozcEngine();
    void switchToHiragana();
    void activate(const QString& property);
    Q_SLOT void globalEngineChanged(const QString& name);
    Q_SLOT void engineProperties(const QDBusMessage& message);

    Link m_link = Link::None;
    bool m_globalEngineKnown = false;
    QString m_globalEngine;
    bool m_selectingMozc = false;
    bool m_findingEngine = false;
    QString m_engineService; // the mozc engine seen last: its owner on the bus, its path
    QString m_enginePath;
    QString m_mode;           // mozc's input mode as it last said, or as last asked of it
    QString m_modeToRestore;  // the learner's own mode, while a box holds hiragana
    QPointer<InputBox> m_box; // the box ready for typing, if any
};

} // namespace tokotoko

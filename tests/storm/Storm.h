#pragma once

// A random-input storm on one window, or on the entrance with every exercise window behind
// it. A seeded generator draws the learner's actions (keys with random modifiers, with and
// without X keycodes, typed and committed text, ticks of the clock, resizes and minimizing,
// menu commands, opening hostile files, clicks, closing and reopening, a key held down for a
// long time); every action is one or more events, and after each event every window's
// invariants are checked (Subjects.h), together with what reached the clipboard, the voice and
// the cues. The same seed and event count replay the same storm.

#include "HostileFiles.h"
#include "Subjects.h"

#include "FakePlatform.h"
#include "app/FormCatalog.h"

#include <QElapsedTimer>
#include <QMap>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "common/FormWindow.h"

namespace tokotoko {
class frmEntrance;
} // namespace tokotoko

namespace tokotoko::storm {

struct StormResult {
    bool passed = true;
    QString failure;    // what broke, where, the events before and how to replay it
    qint64 events = 0;  // key presses, commits, ticks, resizes, commands...
    qint64 repeats = 0; // of them, the repeats of keys held down (not counted as random events)
    qint64 actions = 0; // what the learner did (typing a line is one action of many events)
    qint64 settles = 0; // runs of the event loop
    qint64 highestResident = 0; // bytes, as seen every few dozen events
    qint64 menuEvents = 0;      // events that went to an open menu
    qint64 inactiveEvents = 0;  // events while no window of the program was active
    QMap<QString, int> actionCounts;
    QMap<QString, double> actionMs; // time spent in each kind of action
    QStringList notes;              // what the run reached (highest counts, files opened...)
};

class Storm {
public:
    // `window` is an object name (frmKeyGuide ... frmEnglish), or frmEntrance for the entrance
    // with the real exercise windows behind its entries.
    Storm(const QString& window, quint64 seed);
    ~Storm();
    Storm(const Storm&) = delete;
    Storm& operator=(const Storm&) = delete;

    bool isReady(QString* why) const;
    StormResult run(qint64 events);

private:
    using Input = std::function<void()>;

    void open();
    FormWindow* activeForm() const;
    Subject* activeSubject() const;
    void adoptNewWindows();
    QList<const void*> visibleWindows() const;
    void activateAsAWindowManager(const QList<const void*>& visibleBefore);

    // One event: the input, what it posted, the event loop now and then, and every check.
    bool step(const QString& what, const Input& input, bool settleAfter = false);
    bool checkAll(const QString& what, bool checkMemory);
    void checkChannels(QStringList& problems);
    void prepareDraws();

    bool act();
    bool pressRandomKey();
    bool pressKeyOfCode(quint32 keycode, quint32 xState, const QString& what);
    bool typeText(const QString& text, const QString& what);
    bool typeAsked();
    bool commitRandomText();
    bool tick();
    bool wait();
    bool resize();
    bool triggerMenu();
    bool openFile();
    bool click();
    bool doubleClickKeyName();
    bool closeWindow();
    bool reopen();
    bool holdKey();

    QString randomText();
    QString describeLog() const;
    void note(const QString& kind) {
        m_kind = kind;
        ++m_result.actionCounts[kind];
    }

    bool m_trace; // TOKOTOKO_STORM_TRACE: every event to stderr as it happens
    QString m_window;
    quint64 m_seed;
    Random m_random;
    test::FakePlatform m_fake;
    HostileFiles m_files;
    FileLines m_fileLines;
    FormCatalog m_catalog;
    std::unique_ptr<frmEntrance> m_entrance;
    int m_entry = 0; // the catalog entry of a window driven alone
    std::vector<std::unique_ptr<Subject>> m_subjects;
    std::vector<QPointer<FormWindow>> m_stacking; // the windows by last activation, latest last

    qint64 m_limit = 0;
    qint64 m_stepsSinceSettle = 0;
    std::deque<QString> m_log;
    StormResult m_result;
    QString m_kind;
};

} // namespace tokotoko::storm

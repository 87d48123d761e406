#include "Storm.h"

#include "Desk.h"

#include "app/Exercises.h"
#include "app/frmEntrance.h"
#include "common/FormWindow.h"
#include "text/PracticeTextReader.h"

#include <QApplication>
#include <QFile>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace tokotoko::storm {

namespace {

// The catalog entry of each exercise window; 0 for none.
int entryOf(const QString& window) {
    for (int entry = 1; entry <= kExerciseCount; ++entry) {
        if (window == QLatin1String(exercises()[static_cast<std::size_t>(entry - 1)].formName))
            return entry;
    }
    return 0;
}

constexpr quint32 kEnterKeycode = 36;
constexpr quint32 kKeypadEnterKeycode = 104;
constexpr quint32 kEscapeKeycode = 9;
constexpr quint32 kLeftCtrlKeycode = 37;
constexpr quint32 kRightCtrlKeycode = 105;
constexpr quint32 kSpaceKeycode = 65;
constexpr quint32 kOKeycode = 32;
constexpr qint64 kStepsBetweenSettles = 64;
constexpr std::size_t kLogLength = 40;
// No window needs anything near this: a storm that gets there has found runaway memory (one
// found a layout loop that had taken 9 GiB). AddressSanitizer's quarantine and shadow memory
// need several times what the program does.
#if defined(__SANITIZE_ADDRESS__)
constexpr qint64 kResidentLimit = qint64(4) << 30;
#else
constexpr qint64 kResidentLimit = qint64(1) << 30;
#endif

qint64 residentBytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * 4096 : 0;
}

// Texts an input method might commit, the awkward ones included.
const QStringList& committedTexts() {
    static const QStringList texts{
        QStringLiteral("あ"),
        QStringLiteral("かんじ"),
        QStringLiteral("漢字"),
        QStringLiteral("ｶﾀｶﾅ"),
        QStringLiteral("ＡＢＣ１２３"),
        QStringLiteral("　"),
        QStringLiteral("～＼－￥"),
        QString(QChar(0xFEFF)),               // zero-width no-break space
        QString(QChar(0xFFFD)),               // the replacement character
        QString(QChar(0xD800)),               // a lone high surrogate
        QString(QChar(0xDC00)),               // a lone low surrogate
        QStringLiteral("\U0001F600"),         // beyond the basic plane
        QStringLiteral("e\u0301"),            // a combining accent
        QStringLiteral("\u200B\u202E\u200F"), // zero width, right-to-left marks
        QStringLiteral("\r"),
        QStringLiteral("\n"),
        QStringLiteral("\t"),
        QStringLiteral("\x7f"),
        QString(QChar(0)),
        QString(5000, QChar(u'字')),
        QStringLiteral("F"),
        QStringLiteral("f"),
        QStringLiteral(" "),
    };
    return texts;
}

QString keyDescription(const KeyPress& press) {
    const QString name =
        QKeySequence(QKeyCombination(press.modifiers & ~Qt::KeypadModifier, press.key))
            .toString(QKeySequence::PortableText);
    QString text;
    for (const QChar c : press.text)
        text += c.unicode() < 0x20 || c.unicode() == 0x7f
                    ? QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'))
                    : QString(c);
    QString what = QStringLiteral("key %1 \"%2\"").arg(name, text);
    if (press.keycode != 0)
        what += QStringLiteral(" [X keycode %1, state 0x%2]")
                    .arg(press.keycode)
                    .arg(press.xState, 0, 16);
    if (press.modifiers & Qt::KeypadModifier)
        what += QStringLiteral(" keypad");
    if (press.autoRepeat)
        what += QStringLiteral(" repeat");
    return what;
}

QString shortened(const QString& text) {
    QString shown = text.left(40);
    for (QChar& c : shown) {
        if (c.unicode() < 0x20)
            c = QChar(0x2400 + c.unicode()); // the control pictures
    }
    return shown +
           (text.size() > 40 ? QStringLiteral("... (%1 chars)").arg(text.size()) : QString());
}

const JisKey* keyTyping(QChar c, bool* shifted) {
    for (const JisKey& key : jisKeys()) {
        if (key.keypad)
            continue;
        if (QStringView(key.plainText) == QStringView(&c, 1)) {
            *shifted = false;
            return &key;
        }
        if (QStringView(key.shiftedText) == QStringView(&c, 1)) {
            *shifted = true;
            return &key;
        }
    }
    return nullptr;
}

} // namespace

Storm::Storm(const QString& window, quint64 seed)
    : m_trace(qEnvironmentVariableIsSet("TOKOTOKO_STORM_TRACE"))
    , m_window(window)
    , m_seed(seed)
    , m_random(seed) {
    for (const HostileFile& file : m_files.all())
        m_fileLines.insert(file.path, readPracticeTextFile(file.path).lines);
    registerExercises(m_catalog, m_fake.platform());
    if (window == QLatin1String("frmEntrance")) {
        m_entrance = std::make_unique<frmEntrance>(m_fake.platform(), m_catalog);
        m_subjects.push_back(makeSubject(*m_entrance, m_fileLines));
    } else {
        m_entry = entryOf(window);
    }
}

Storm::~Storm() {
    // The controls of the last unloaded windows are still waiting to be deleted.
    settle();
}

bool Storm::isReady(QString* why) const {
    if (!m_files.isValid()) {
        *why = QStringLiteral("no temporary folder for the practice files");
        return false;
    }
    if (!m_entrance && (m_entry < 1 || !m_catalog.has(m_entry))) {
        *why = QStringLiteral("no window %1 in this build").arg(m_window);
        return false;
    }
    return true;
}

void Storm::open() {
    FormWindow* form = m_entrance ? m_entrance.get() : m_catalog.open(m_entry);
    form->showForm();
    if (!QTest::qWaitForWindowActive(form))
        m_result.notes
            << QStringLiteral("%1 was not activated at the start").arg(form->objectName());
    settle();
    adoptNewWindows();
}

FormWindow* Storm::activeForm() const {
    auto* form = qobject_cast<FormWindow*>(QApplication::activeWindow());
    return form && form->isLoaded() ? form : nullptr;
}

Subject* Storm::activeSubject() const {
    FormWindow* form = activeForm();
    for (const auto& subject : m_subjects) {
        if (&subject->form() == form)
            return subject.get();
    }
    return nullptr;
}

// The exercise windows are made the first time they are opened: each gets its subject then.
void Storm::adoptNewWindows() {
    for (int entry = 1; entry <= frmEntrance::kEntryCount; ++entry) {
        FormWindow* form = m_catalog.instance(entry);
        if (!form)
            continue;
        const bool known =
            std::any_of(m_subjects.begin(), m_subjects.end(),
                        [form](const auto& subject) { return &subject->form() == form; });
        if (!known) {
            if (auto subject = makeSubject(*form, m_fileLines)) {
                subject->remember();
                m_subjects.push_back(std::move(subject));
                m_result.notes << QStringLiteral("%1 opened at event %2")
                                      .arg(form->objectName())
                                      .arg(m_result.events);
            }
        }
    }
}

StormResult Storm::run(qint64 events) {
    TimerHold hold;
    QElapsedTimer clock;
    clock.start();
    {
        QtMessageTally messages;
        m_limit = events;
        open();
        while (m_result.events - m_result.repeats < m_limit && m_result.passed) {
            ++m_result.actions;
            prepareDraws();
            QElapsedTimer actionClock;
            actionClock.start();
            const bool ok = act();
            m_result.actionMs[m_kind] += actionClock.nsecsElapsed() / 1e6;
            if (!ok)
                break;
        }
        settle();
        m_result.notes << messages.summary();
    }
    m_result.notes << QStringLiteral("%1 ms").arg(clock.elapsed());
    return m_result;
}

// The random draws of the windows and the file the Open-file dialog returns next.
void Storm::prepareDraws() {
    test::FakeClock& clock = m_fake.clock;
    while (clock.randoms.size() < 4) {
        float r = m_random.unit();
        if (m_random.chance(20))
            r = m_random.chance(500) ? 0.0f : std::nextafter(1.0f, 0.0f);
        clock.randoms.push_back(r);
    }
    if (m_fake.dialogs.openResults.empty())
        m_fake.dialogs.openResults.push_back(
            m_random.chance(150) ? QString() : m_random.pick(m_files.all()).path);
}

bool Storm::act() {
    if (m_random.below(30000) == 0)
        return holdKey();
    if (!activeForm() && m_random.chance(500))
        return reopen();
    // An open menu takes the keys; the learner soon closes it again.
    if (QApplication::activePopupWidget() && m_random.chance(200)) {
        note(QStringLiteral("close the menu"));
        return pressKeyOfCode(kEscapeKeycode, 0, QStringLiteral("close the menu"));
    }
    const int r = m_random.below(1000);
    if (r < 500)
        return pressRandomKey();
    if (r < 580)
        return typeAsked();
    if (r < 620) {
        note(QStringLiteral("type random text"));
        return typeText(randomText(), QStringLiteral("type"));
    }
    if (r < 680)
        return commitRandomText();
    if (r < 730) {
        note(QStringLiteral("Enter"));
        return pressKeyOfCode(m_random.chance(800) ? kEnterKeycode : kKeypadEnterKeycode, 0,
                              QStringLiteral("Enter"));
    }
    if (r < 745) {
        note(QStringLiteral("Ctrl"));
        return pressKeyOfCode(m_random.chance(500) ? kLeftCtrlKeycode : kRightCtrlKeycode, 0,
                              QStringLiteral("Ctrl"));
    }
    if (r < 747) {
        note(QStringLiteral("Escape"));
        return pressKeyOfCode(kEscapeKeycode, 0, QStringLiteral("Escape"));
    }
    if (r < 810)
        return tick();
    if (r < 840)
        return wait();
    if (r < 860)
        return resize();
    if (r < 880)
        return triggerMenu();
    if (r < 895)
        return openFile();
    if (r < 910)
        return click();
    if (r < 912)
        return doubleClickKeyName();
    if (r < 914)
        return closeWindow();
    if (r < 919)
        return reopen();
    return pressRandomKey();
}

bool Storm::step(const QString& what, const Input& input, bool settleAfter) {
    ++m_result.events;
    m_log.push_back(QStringLiteral("%1: %2").arg(m_result.events).arg(what));
    if (m_trace)
        std::fprintf(stderr, "%s\n", qPrintable(m_log.back()));
    if (m_log.size() > kLogLength)
        m_log.pop_front();
    for (const auto& subject : m_subjects)
        subject->remember();
    const auto before = visibleWindows();
    const void* activeBefore = QApplication::activeWindow();
    const void* focusBefore = QApplication::focusWidget();
    const void* popupBefore = QApplication::activePopupWidget();
    if (popupBefore)
        ++m_result.menuEvents;
    if (!activeBefore)
        ++m_result.inactiveEvents;
    input();
    deliverPosted();
    const bool changed = visibleWindows() != before ||
                         QApplication::activeWindow() != activeBefore ||
                         QApplication::focusWidget() != focusBefore ||
                         QApplication::activePopupWidget() != popupBefore;
    bool checkMemory = false;
    if (settleAfter || changed || ++m_stepsSinceSettle >= kStepsBetweenSettles) {
        settle();
        ++m_result.settles;
        checkMemory = m_stepsSinceSettle >= kStepsBetweenSettles;
        m_stepsSinceSettle = 0;
        activateAsAWindowManager(before);
        adoptNewWindows();
    }
    if (m_trace && QApplication::activeWindow() != activeBefore) {
        QWidget* active = QApplication::activeWindow();
        std::fprintf(stderr, "  active now: %s\n",
                     active ? qPrintable(active->objectName()) : "none");
    }
    return checkAll(what, checkMemory);
}

// The program's visible windows, in an order that does not depend on where they lie in memory.
QList<const void*> Storm::visibleWindows() const {
    QList<const void*> windows;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible())
            windows << window;
    }
    std::sort(windows.begin(), windows.end());
    return windows;
}

// When a window goes away, the one that was active before it becomes active again, as a
// stacking window manager does. (The program asks for the first visible window it finds, and
// that order changes from run to run: the same seed would not replay the same storm.)
void Storm::activateAsAWindowManager(const QList<const void*>& visibleBefore) {
    const auto isUsable = [](FormWindow* form) { return form && form->isVisible(); };
    const QList<const void*> visibleNow = visibleWindows();
    const bool someWindowWent =
        std::any_of(visibleBefore.begin(), visibleBefore.end(),
                    [&](const void* window) { return !visibleNow.contains(window); });
    if (someWindowWent && !QApplication::activePopupWidget()) {
        for (auto it = m_stacking.rbegin(); it != m_stacking.rend(); ++it) {
            FormWindow* form = it->data();
            if (!isUsable(form))
                continue;
            // The program's own request may still be on its way: insist.
            for (int attempt = 0; attempt < 3 && QApplication::activeWindow() != form; ++attempt) {
                QApplication::setActiveWindow(form);
                settle();
            }
            break;
        }
    }
    // The active window goes on top of the stack.
    if (auto* active = qobject_cast<FormWindow*>(QApplication::activeWindow())) {
        m_stacking.erase(std::remove(m_stacking.begin(), m_stacking.end(), active),
                         m_stacking.end());
        m_stacking.push_back(active);
    }
}

bool Storm::checkAll(const QString& what, bool checkMemory) {
    QStringList problems;
    if (checkMemory) {
        const qint64 resident = residentBytes();
        m_result.highestResident = std::max(m_result.highestResident, resident);
        if (resident > kResidentLimit)
            problems << QStringLiteral("the process holds %1 MiB").arg(resident >> 20);
    }
    for (const auto& subject : m_subjects) {
        QStringList own;
        subject->check(own);
        for (const QString& problem : own)
            problems << subject->form().objectName() + QStringLiteral(": ") + problem;
    }
    checkChannels(problems);
    if (problems.isEmpty())
        return true;
    m_result.passed = false;
    m_result.failure =
        QStringLiteral("storm on %1 with seed %2 broke at event %3 (%4):\n  %5\n"
                       "The events before it:\n%6\n"
                       "Replay: TOKOTOKO_STORM_SEED=%2 TOKOTOKO_STORM_EVENTS=%3 tst_storm storm:%1")
            .arg(m_window)
            .arg(m_seed)
            .arg(m_result.events)
            .arg(what, problems.join(QStringLiteral("\n  ")), describeLog());
    return false;
}

// Whatever reached the clipboard or the voice is something a window could have presented;
// the cues are the program's three.
void Storm::checkChannels(QStringList& problems) {
    const auto checkChannel = [&](Channel channel, QStringList& texts, const char* name) {
        for (const QString& text : std::as_const(texts)) {
            const bool presentable =
                std::any_of(m_subjects.begin(), m_subjects.end(), [&](const auto& subject) {
                    return subject->mayPresent(channel, text);
                });
            if (!presentable)
                problems << QStringLiteral("the %1 received \"%2\", which no window presents")
                                .arg(QLatin1String(name), shortened(text));
        }
        texts.clear();
    };
    checkChannel(Channel::Clipboard, m_fake.clipboard.texts, "clipboard");
    checkChannel(Channel::Speech, m_fake.speech.spoken, "voice");
    static const QStringList cues{QStringLiteral("\\ding.wav"), QStringLiteral("\\boo.wav"),
                                  QStringLiteral("\\zannen.wav")};
    for (const QString& cue : std::as_const(m_fake.sound.played)) {
        if (!cues.contains(cue))
            problems << QStringLiteral("the cue %1 was played").arg(cue);
    }
    m_fake.clearRecords();
}

bool Storm::pressRandomKey() {
    note(QStringLiteral("random key"));
    const JisKey& key = m_random.pick(jisKeys());
    quint32 state = 0;
    if (m_random.chance(300))
        state |= kXShift;
    if (m_random.chance(80))
        state |= kXControl;
    if (m_random.chance(40))
        state |= kXAlt;
    if (m_random.chance(300))
        state |= kXNumLock;
    return pressKeyOfCode(key.keycode, state, QString());
}

// A key from the keyboard: half of them as the X server sends them, half as a program makes
// them (no keycode, no X state).
bool Storm::pressKeyOfCode(quint32 keycode, quint32 xState, const QString& what) {
    const JisKey* key = jisKey(keycode);
    if (!key)
        return true;
    KeyPress press = jisKeyPress(*key, xState);
    if (m_random.chance(500)) {
        press.keycode = 0;
        press.xState = 0;
    }
    const QString description = what.isEmpty()
                                    ? keyDescription(press)
                                    : what + QStringLiteral(": ") + keyDescription(press);
    return step(description, [press] { pressKey(press); });
}

// Text as typed: each character from the key that gives it, or from the input method where the
// focus takes composed text, or as a key that gives that character. A long text comes in one
// piece, as a paste would bring it.
bool Storm::typeText(const QString& text, const QString& what) {
    if (text.size() > 64) {
        QWidget* target = compositionTarget();
        const QString description = QStringLiteral("%1 %2 at once").arg(what, shortened(text));
        return step(description, [target, text] {
            if (target) {
                commitText(target, text, false);
            } else {
                KeyPress press;
                press.text = text;
                pressKey(press);
            }
        });
    }
    const QList<uint> codePoints = text.toUcs4();
    for (const uint codePoint : codePoints) {
        const QString character = QStringView(QChar::fromUcs4(codePoint)).toString();
        bool shifted = false;
        const JisKey* key = character.size() == 1 ? keyTyping(character.at(0), &shifted) : nullptr;
        const QString description =
            QStringLiteral("%1 %2: %3").arg(what, shortened(text), shortened(character));
        if (key) {
            if (!pressKeyOfCode(key->keycode, shifted ? kXShift : 0, description))
                return false;
            continue;
        }
        QWidget* target = compositionTarget();
        const bool ok = step(description, [target, character] {
            if (target) {
                commitText(target, character, false);
            } else {
                KeyPress press;
                press.text = character;
                pressKey(press);
            }
        });
        if (!ok)
            return false;
    }
    return true;
}

// The right answer: the asked key, or the shown line and Enter.
bool Storm::typeAsked() {
    Subject* subject = activeSubject();
    if (!subject)
        return pressRandomKey();
    note(QStringLiteral("type the asked text"));
    if (!typeText(subject->asked(m_random), QStringLiteral("type asked")))
        return false;
    if (!subject->handsInWithEnter())
        return true;
    return pressKeyOfCode(kEnterKeycode, 0, QStringLiteral("hand in"));
}

bool Storm::commitRandomText() {
    note(QStringLiteral("input method"));
    const QString text = randomText();
    const bool preedit = m_random.chance(400);
    QWidget* target = compositionTarget();
    if (!target)
        return typeText(text, QStringLiteral("no composition here, type"));
    return step(QStringLiteral("input method commits %1%2")
                    .arg(shortened(text), preedit ? QStringLiteral(" after preedit") : QString()),
                [target, text, preedit] { commitText(target, text, preedit); });
}

QString Storm::randomText() {
    const int kind = m_random.below(10);
    if (kind < 4)
        return m_random.pick(committedTexts());
    if (kind < 6) {
        // A line of one of the practice files.
        const QString path = m_random.pick(m_files.all()).path;
        const QStringList& lines = m_fileLines[path];
        if (!lines.isEmpty())
            return m_random.pick(lines);
    }
    if (kind < 8) {
        if (Subject* subject = activeSubject())
            return subject->asked(m_random);
    }
    QString text;
    const int length = m_random.between(1, 8);
    for (int i = 0; i < length; ++i) {
        const int range = m_random.below(4);
        const char16_t c = range == 0   ? char16_t(m_random.between(0x20, 0x7e))
                           : range == 1 ? char16_t(m_random.between(0x3041, 0x30ff))
                           : range == 2 ? char16_t(m_random.between(0x4e00, 0x9fff))
                                        : char16_t(m_random.between(1, 0xffff));
        text += QChar(c);
    }
    return text;
}

bool Storm::tick() {
    note(QStringLiteral("tick"));
    int seconds = 1;
    if (m_random.chance(30)) {
        const int jumps[] = {59, 3600, 43200, 86399 - m_fake.clock.time};
        seconds = std::max(1, jumps[m_random.below(4)]);
    }
    return step(QStringLiteral("tick after %1 s").arg(seconds), [this, seconds] {
        m_fake.clock.advance(seconds);
        for (const auto& subject : m_subjects)
            subject->tick();
    });
}

// The learner stops typing for up to a minute and more: the clock ticks on, and a timed game
// may run out.
bool Storm::wait() {
    note(QStringLiteral("wait"));
    const int seconds = m_random.between(1, 70);
    for (int i = 0; i < seconds; ++i) {
        const bool ok =
            step(QStringLiteral("wait, second %1 of %2").arg(i + 1).arg(seconds), [this] {
                m_fake.clock.advance(1);
                for (const auto& subject : m_subjects)
                    subject->tick();
            });
        if (!ok)
            return false;
    }
    return true;
}

bool Storm::resize() {
    FormWindow* form = activeForm();
    if (!form)
        return reopen();
    note(QStringLiteral("resize"));
    const int how = m_random.below(7);
    const int width = m_random.between(1, 2500);
    const int height = m_random.between(1, 1600);
    static const char* const names[] = {"resize",   "resize to 1x1", "minimize",  "restore",
                                        "maximize", "full screen",   "show again"};
    return step(
        QStringLiteral("%1 %2 (%3x%4)")
            .arg(form->objectName(), QLatin1String(names[how]))
            .arg(width)
            .arg(height),
        [form, how, width, height] {
            switch (how) {
            case 0:
                form->resize(width, height);
                break;
            case 1:
                form->resize(1, 1);
                break;
            case 2:
                form->showMinimized();
                break;
            case 3:
                form->showNormal();
                break;
            case 4:
                form->showMaximized();
                break;
            case 5:
                form->showFullScreen();
                break;
            default:
                form->showForm();
                break;
            }
        },
        true);
}

bool Storm::triggerMenu() {
    FormWindow* form = activeForm();
    if (!form || !form->formMenuBar())
        return pressRandomKey();
    QList<QAction*> items;
    for (QAction* action : form->formMenuBar()->findChildren<QAction*>()) {
        if (action->objectName().startsWith(QLatin1String("mnu")))
            items << action;
    }
    if (items.isEmpty())
        return pressRandomKey();
    note(QStringLiteral("menu command"));
    QAction* item = m_random.pick(items);
    return step(
        QStringLiteral("%1 menu %2").arg(form->objectName(), item->objectName()),
        [item] { item->trigger(); }, true);
}

bool Storm::openFile() {
    FormWindow* form = activeForm();
    QAction* open = form && form->formMenuBar()
                        ? form->formMenuBar()->findChild<QAction*>(QStringLiteral("mnuFileOpen"))
                        : nullptr;
    if (!open)
        return triggerMenu();
    note(QStringLiteral("open a file"));
    const QString path = m_fake.dialogs.openResults.front();
    QString name = QStringLiteral("cancel");
    for (const HostileFile& file : m_files.all()) {
        if (file.path == path)
            name = file.name;
    }
    if (m_random.chance(500))
        return step(
            QStringLiteral("%1 mnuFileOpen: %2").arg(form->objectName(), name),
            [open] { open->trigger(); }, true);
    return pressKeyOfCode(kOKeycode, kXControl, QStringLiteral("Ctrl+O: %1").arg(name));
}

// A left click on a control of the window, or on an item of its menu bar (which opens that
// menu). The menu bar's extension button is left alone: it runs a modal menu of its own.
bool Storm::click() {
    FormWindow* form = activeForm();
    if (!form)
        return reopen();
    QWidget* widget = nullptr;
    QPoint at;
    QString name;
    QMenuBar* menuBar = form->formMenuBar();
    if (menuBar && menuBar->isVisible() && m_random.chance(300)) {
        QList<QAction*> items;
        for (QAction* item : menuBar->actions()) {
            if (menuBar->actionGeometry(item).isValid())
                items << item;
        }
        if (!items.isEmpty()) {
            QAction* item = m_random.pick(items);
            widget = menuBar;
            at = menuBar->actionGeometry(item).center();
            name = QStringLiteral("menu bar item %1").arg(item->text());
        }
    }
    if (!widget) {
        QList<QWidget*> controls;
        for (QWidget* control : form->client()->findChildren<QWidget*>()) {
            if (control->isVisible() && control->width() > 0 && control->height() > 0)
                controls << control;
        }
        if (controls.isEmpty())
            return pressRandomKey();
        widget = m_random.pick(controls);
        at = widget->rect().center();
        name = widget->objectName().isEmpty()
                   ? QString::fromLatin1(widget->metaObject()->className())
                   : widget->objectName();
    }
    note(QStringLiteral("click"));
    return step(
        QStringLiteral("click %1 in %2").arg(name, form->objectName()),
        [widget, at] { QTest::mouseClick(widget, Qt::LeftButton, {}, at); }, true);
}

bool Storm::doubleClickKeyName() {
    FormWindow* form = activeForm();
    auto* label = form ? form->client()->findChild<QLabel*>(QStringLiteral("lblKey")) : nullptr;
    if (!label || !label->isVisible())
        return click();
    note(QStringLiteral("double-click lblKey"));
    return step(
        QStringLiteral("double-click lblKey in %1").arg(form->objectName()),
        [label] { QTest::mouseDClick(label, Qt::LeftButton, {}, label->rect().center()); }, true);
}

bool Storm::closeWindow() {
    FormWindow* form = activeForm();
    if (!form)
        return reopen();
    note(QStringLiteral("close"));
    return step(
        QStringLiteral("close %1").arg(form->objectName()), [form] { form->close(); }, true);
}

// Back to a window: the window driven alone opened again; with the entrance, the entrance
// itself when it was closed, else the learner clicks a window of the program to the front.
bool Storm::reopen() {
    note(QStringLiteral("reopen"));
    if (!m_entrance) {
        return step(QStringLiteral("open %1").arg(m_window), [this] {
            showAndActivate(m_catalog.instance(m_entry), [this] { m_catalog.open(m_entry); });
        });
    }
    FormWindow* form = m_entrance.get();
    if (m_entrance->isLoaded() && m_entrance->isVisible() && m_random.chance(500)) {
        QList<FormWindow*> opened;
        for (int entry = 1; entry <= frmEntrance::kEntryCount; ++entry) {
            if (FormWindow* exercise = m_catalog.instance(entry); exercise && exercise->isLoaded())
                opened << exercise;
        }
        if (!opened.isEmpty())
            form = m_random.pick(opened);
    }
    return step(QStringLiteral("bring %1 to the front").arg(form->objectName()),
                [form] { showAndActivate(form, [form] { form->showForm(); }); });
}

// A key held down for a long time (something lying on the keyboard): the repeats come one
// after another, each checked.
bool Storm::holdKey() {
    if (!activeForm())
        return reopen();
    note(QStringLiteral("hold a key"));
    // Mostly Enter, the key that judges; now and then a key that types into the input box
    // (the slowest to hold: the box's text grows with every repeat).
    const int which = m_random.below(10);
    quint32 keycode = kEnterKeycode;
    if (which == 8)
        keycode = m_random.pick(jisKeys()).keycode;
    if (which == 9)
        keycode = kSpaceKeycode;
    const JisKey* key = jisKey(keycode);
    KeyPress press = jisKeyPress(*key, m_random.chance(300) ? kXShift : 0);
    // Long enough to take a 16-bit count past its end; a key that types into an input box
    // stops earlier, once the box is long past a line (each repeat then costs a relayout).
    const bool typesIntoABox = keycode != kEnterKeycode && qobject_cast<QLineEdit*>(keyTarget());
    const int repeats =
        typesIntoABox ? m_random.between(2000, 4000) : m_random.between(30000, 36000);
    const QString what =
        QStringLiteral("hold %1 for %2 repeats").arg(keyDescription(press)).arg(repeats);
    for (int i = 0; i < repeats && m_result.passed; ++i) {
        press.autoRepeat = i > 0;
        if (!step(what + QStringLiteral(", repeat %1").arg(i), [press] { pressKey(press); }))
            return false;
    }
    // The repeats are not counted towards the storm's events: one key held is not thousands
    // of different inputs.
    m_result.repeats += repeats;
    return true;
}

QString Storm::describeLog() const {
    QStringList lines;
    for (const QString& line : m_log)
        lines << QStringLiteral("    ") + line;
    return lines.join(QLatin1Char('\n'));
}

} // namespace tokotoko::storm

#pragma once

// A recording stand-in for every platform service, for window tests. Nothing here touches
// the desktop: the clipboard, cues, speech and dialogs are recorded; time and chance are
// set by the test.

#include "platform/Platform.h"
#include "platform/qt/QtServices.h"

#include <QList>
#include <QPointer>
#include <QStringList>

#include <deque>

namespace tokotoko::test {

class FakeClipboard final : public Clipboard {
public:
    void setText(const QString& text) override { texts << text; }
    // What the clipboard holds now (the last text set), or a null string if none was set.
    QString text() const { return texts.isEmpty() ? QString() : texts.last(); }
    QStringList texts;
};

class FakeSoundCue final : public SoundCue {
public:
    void prepare(const QString& cueFile) override { prepared << cueFile; }
    void play(const QString& cueFile) override { played << cueFile; }
    QStringList prepared;
    QStringList played;
};

class FakeSpeech final : public Speech {
public:
    std::unique_ptr<SpeechVoice> createVoice() override;
    bool available = true;
    int voicesCreated = 0;
    QList<int> volumes;
    QStringList spoken; // in the order the texts were handed to the queue
};

class FakeInputMethod final : public InputMethod {
public:
    void switchOff(QWidget* window) override;
    void useHiragana(InputBox& box) override;
    void useAlphanumeric(InputBox& box) override;
    int switchOffCount = 0;
    QList<QPointer<InputBox>> hiraganaBoxes;
    int hiraganaSwitches = 0; // each time a hiragana box became ready for typing
    QList<QPointer<InputBox>> alphanumericBoxes;
};

class FakeKeyInjector final : public KeyInjector {
public:
    struct Posted {
        int virtualKey;
        Direction direction;
        Qt::KeyboardModifiers modifiers;
        friend bool operator==(const Posted&, const Posted&) = default;
    };
    void post(QWidget* window, int virtualKey, Direction direction,
              Qt::KeyboardModifiers modifiers) override;
    QList<Posted> posted;
    // Posted events also go into the real event queue, as they would in the program.
    bool deliver = true;

private:
    QtKeyInjector m_real;
};

class FakeClock final : public Clock {
public:
    int timeOfDay() const override { return time; }
    qint64 monotonicMs() const override { return monotonic; }
    float reseededRandom() override;
    // Moves both clocks on; the time of day wraps at midnight.
    void advance(int seconds);
    int time = 0;
    qint64 monotonic = 0;
    std::deque<float> randoms; // values to draw, in order; then `nextRandom` for ever
    float nextRandom = 0.0f;
    int reseeds = 0;
};

class FakeDialogs final : public Dialogs {
public:
    struct Message {
        QString title;
        QString text;
        bool warning;
    };
    struct OpenCall {
        QString filter;
        QString startName;
        QString startFolder;
    };
    void information(QWidget*, const QString& title, const QString& text) override {
        messages.append({title, text, false});
    }
    void warning(QWidget*, const QString& title, const QString& text) override {
        messages.append({title, text, true});
    }
    QString openFile(QWidget*, const QString& filter, const QString& startName,
                     const QString& startFolder) override;
    QList<Message> messages;
    QList<OpenCall> openCalls;
    std::deque<QString> openResults; // what the dialog returns, in order; empty: cancel
};

class FakeLauncher final : public Launcher {
public:
    bool startTextEditor() override {
        ++starts;
        return result;
    }
    int starts = 0;
    bool result = true;
};

class FakeAppControl final : public AppControl {
public:
    // Records the call and ends any running event loop, as the program would end.
    void endProgram() override;
    QStringList dataFolders() const override { return folders; }
    int endCount = 0;
    QStringList folders;
};

class FakeAnnouncer final : public Announcer {
public:
    void announce(QWidget* window, const QString& text) override {
        texts << text;
        windows << window;
    }
    QStringList texts; // in the order announced
    QList<QPointer<QWidget>> windows;
};

class FakePlatform {
public:
    FakePlatform();
    Platform& platform() { return *m_platform; }
    operator Platform&() { return *m_platform; }

    FakeClipboard& clipboard;
    FakeSoundCue& sound;
    FakeSpeech& speech;
    FakeInputMethod& inputMethod;
    FakeKeyInjector& keys;
    FakeClock& clock;
    FakeDialogs& dialogs;
    FakeLauncher& launcher;
    FakeAppControl& app;
    FakeAnnouncer& announcer;

    // Forgets the texts, cues, keys, dialogs and input-method calls recorded so far; long
    // runs call it so that the records do not grow without bound.
    void clearRecords();

private:
    struct Parts;
    explicit FakePlatform(Parts parts);
    std::unique_ptr<Platform> m_platform;
};

} // namespace tokotoko::test

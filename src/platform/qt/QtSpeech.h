#pragma once

#include "../Speech.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTextToSpeech>
#include <QThread>

#include <deque>
#include <functional>
#include <optional>

class QTimer;

namespace tokotoko {

// The English voice to speak with, from what the engine reports once it is built, or nothing
// where it must stay silent: an unreachable daemon (every later call would block again trying
// to reach it) or no English voice. An engine that only failed to find a voice for the
// session's language (LANG=C) still speaks English.
std::optional<QLocale> englishVoiceLocale(QTextToSpeech::State state,
                                          QTextToSpeech::ErrorReason reason,
                                          const QList<QLocale>& locales);

// Lives on the speech thread: owns the engine and the queue of texts still to speak.
// Qt's say() interrupts the text being spoken, so texts are fed one at a time, each after
// the engine has reported the previous one finished (or failed, or overran its watchdog).
class SpeechWorker : public QObject {
    Q_OBJECT
public:
    SpeechWorker() = default;
    ~SpeechWorker() override;

    void startEngine();
    void enqueue(const QString& text);
    void setVolume(double volume);

private:
    void onStateChanged(QTextToSpeech::State state);
    void finishCurrent();
    void feed();

    QTextToSpeech* m_engine = nullptr;
    QTimer* m_watchdog = nullptr;
    std::deque<QString> m_queue;
    bool m_broken = false;
    bool m_busy = false;
    bool m_sawSpeaking = false;
};

// One engine for the whole process, started on the first voice in its own thread: building
// the engine blocks for seconds while the daemon lists its voices, and no window may wait.
class QtSpeech final : public Speech {
public:
    QtSpeech();
    ~QtSpeech() override;

    std::unique_ptr<SpeechVoice> createVoice() override;
    void post(std::function<void(SpeechWorker&)> call);

private:
    void ensureStarted();

    QThread m_thread;
    QPointer<SpeechWorker> m_worker;
};

} // namespace tokotoko

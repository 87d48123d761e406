#include "QtSpeech.h"

#include <QLocale>
#include <QTimer>

#include <algorithm>

namespace tokotoko {
namespace {

const QString kEngine = QStringLiteral("speechd");

// With no audio server the engine may report Speaking for ever.
int watchdogMs(const QString& text) {
    return static_cast<int>(std::min<qsizetype>(5000 + 150 * text.size(), 120000));
}

class QtSpeechVoice final : public SpeechVoice {
public:
    explicit QtSpeechVoice(QtSpeech& speech)
        : m_speech(speech) {}

    void setVolume(int percent) override {
        const double volume = std::clamp(percent, 0, 100) / 100.0;
        m_speech.post([volume](SpeechWorker& worker) { worker.setVolume(volume); });
    }

    void speak(const QString& text) override {
        m_speech.post([text](SpeechWorker& worker) { worker.enqueue(text); });
    }

private:
    QtSpeech& m_speech;
};

} // namespace

std::optional<QLocale> englishVoiceLocale(QTextToSpeech::State state,
                                          QTextToSpeech::ErrorReason reason,
                                          const QList<QLocale>& locales) {
    if (state == QTextToSpeech::Error && reason == QTextToSpeech::ErrorReason::Initialization)
        return std::nullopt;
    const QLocale american(QLocale::English, QLocale::UnitedStates);
    if (locales.contains(american))
        return american;
    const auto english = std::find_if(locales.begin(), locales.end(), [](const QLocale& locale) {
        return locale.language() == QLocale::English;
    });
    if (english == locales.end())
        return std::nullopt;
    return *english;
}

SpeechWorker::~SpeechWorker() = default;

void SpeechWorker::startEngine() {
    m_watchdog = new QTimer(this);
    m_watchdog->setSingleShot(true);
    connect(m_watchdog, &QTimer::timeout, this, [this] {
        if (m_engine)
            m_engine->stop();
        finishCurrent();
    });
    if (!QTextToSpeech::availableEngines().contains(kEngine)) {
        m_broken = true;
        return;
    }
    m_engine = new QTextToSpeech(kEngine, this);
    const std::optional<QLocale> english = englishVoiceLocale(
        m_engine->state(), m_engine->errorReason(), m_engine->availableLocales());
    if (!english) {
        m_broken = true;
        return;
    }
    m_engine->setLocale(*english);
    if (m_engine->locale().language() != QLocale::English) {
        m_broken = true; // no voice after all: better silent than English in another voice
        return;
    }
    m_engine->setVolume(1.0);
    connect(m_engine, &QTextToSpeech::stateChanged, this, &SpeechWorker::onStateChanged);
    feed();
}

void SpeechWorker::setVolume(double volume) {
    if (m_engine && !m_broken)
        m_engine->setVolume(volume);
}

void SpeechWorker::enqueue(const QString& text) {
    // Nothing to say: an empty say() may never report its end and would hold up the queue.
    if (m_broken || text.trimmed().isEmpty())
        return;
    m_queue.push_back(text);
    feed();
}

void SpeechWorker::onStateChanged(QTextToSpeech::State state) {
    if (state == QTextToSpeech::Speaking) {
        m_sawSpeaking = true;
        return;
    }
    if (m_busy &&
        (state == QTextToSpeech::Error || (state == QTextToSpeech::Ready && m_sawSpeaking)))
        finishCurrent();
}

void SpeechWorker::finishCurrent() {
    m_watchdog->stop();
    m_busy = false;
    m_sawSpeaking = false;
    // Feed the next text from the event loop, not from inside the engine's signal.
    QTimer::singleShot(0, this, &SpeechWorker::feed);
}

void SpeechWorker::feed() {
    if (m_broken || !m_engine || m_busy || m_queue.empty())
        return;
    if (m_engine->state() == QTextToSpeech::Speaking)
        return; // the state change will feed again
    const QString text = m_queue.front();
    m_queue.pop_front();
    m_busy = true;
    m_sawSpeaking = false;
    m_watchdog->start(watchdogMs(text));
    m_engine->say(text);
}

QtSpeech::QtSpeech() {
    m_thread.setObjectName(QStringLiteral("speech"));
}

QtSpeech::~QtSpeech() {
    if (m_thread.isRunning()) {
        m_thread.quit();
        m_thread.wait();
    }
}

void QtSpeech::ensureStarted() {
    if (m_worker)
        return;
    auto* worker = new SpeechWorker;
    worker->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::finished, worker, &QObject::deleteLater);
    m_worker = worker;
    m_thread.start();
    QMetaObject::invokeMethod(worker, &SpeechWorker::startEngine, Qt::QueuedConnection);
}

void QtSpeech::post(std::function<void(SpeechWorker&)> call) {
    ensureStarted();
    SpeechWorker* worker = m_worker.data();
    if (!worker)
        return;
    QMetaObject::invokeMethod(
        worker, [worker, call = std::move(call)] { call(*worker); }, Qt::QueuedConnection);
}

std::unique_ptr<SpeechVoice> QtSpeech::createVoice() {
    ensureStarted();
    return std::make_unique<QtSpeechVoice>(*this);
}

} // namespace tokotoko

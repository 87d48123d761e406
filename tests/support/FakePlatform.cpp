#include "FakePlatform.h"

#include "drawing/InputBox.h"

#include <QCoreApplication>

namespace tokotoko::test {
namespace {

class FakeSpeechVoice final : public SpeechVoice {
public:
    explicit FakeSpeechVoice(FakeSpeech& speech)
        : m_speech(speech) {}
    void setVolume(int percent) override { m_speech.volumes << percent; }
    void speak(const QString& text) override { m_speech.spoken << text; }

private:
    FakeSpeech& m_speech;
};

} // namespace

std::unique_ptr<SpeechVoice> FakeSpeech::createVoice() {
    if (!available)
        return nullptr;
    ++voicesCreated;
    return std::make_unique<FakeSpeechVoice>(*this);
}

void FakeInputMethod::switchOff(QWidget* window) {
    ++switchOffCount;
    if (window)
        window->setAttribute(Qt::WA_InputMethodEnabled, false);
}

void FakeInputMethod::useHiragana(InputBox& box) {
    box.setCompositionAllowed(true);
    hiraganaBoxes << &box;
    QObject::connect(&box, &InputBox::readyForTyping, &box, [this] { ++hiraganaSwitches; });
    if (box.hasFocus())
        ++hiraganaSwitches;
}

void FakeInputMethod::useAlphanumeric(InputBox& box) {
    box.setCompositionAllowed(false);
    alphanumericBoxes << &box;
}

void FakeKeyInjector::post(QWidget* window, int virtualKey, Direction direction,
                           Qt::KeyboardModifiers modifiers) {
    posted.append({virtualKey, direction, modifiers});
    if (deliver)
        m_real.post(window, virtualKey, direction, modifiers);
}

float FakeClock::reseededRandom() {
    ++reseeds;
    if (randoms.empty())
        return nextRandom;
    const float value = randoms.front();
    randoms.pop_front();
    return value;
}

void FakeClock::advance(int seconds) {
    time = (time + seconds) % 86400;
    monotonic += qint64(seconds) * 1000;
}

QString FakeDialogs::openFile(QWidget*, const QString& filter, const QString& startName,
                              const QString& startFolder) {
    openCalls.append({filter, startName, startFolder});
    if (openResults.empty())
        return {};
    const QString result = openResults.front();
    openResults.pop_front();
    return result;
}

void FakeAppControl::endProgram() {
    ++endCount;
    QCoreApplication::exit(0);
}

struct FakePlatform::Parts {
    std::unique_ptr<FakeClipboard> clipboard = std::make_unique<FakeClipboard>();
    std::unique_ptr<FakeSoundCue> sound = std::make_unique<FakeSoundCue>();
    std::unique_ptr<FakeSpeech> speech = std::make_unique<FakeSpeech>();
    std::unique_ptr<FakeInputMethod> inputMethod = std::make_unique<FakeInputMethod>();
    std::unique_ptr<FakeKeyInjector> keys = std::make_unique<FakeKeyInjector>();
    std::unique_ptr<FakeClock> clock = std::make_unique<FakeClock>();
    std::unique_ptr<FakeDialogs> dialogs = std::make_unique<FakeDialogs>();
    std::unique_ptr<FakeLauncher> launcher = std::make_unique<FakeLauncher>();
    std::unique_ptr<FakeAppControl> app = std::make_unique<FakeAppControl>();
    std::unique_ptr<FakeAnnouncer> announcer = std::make_unique<FakeAnnouncer>();
};

FakePlatform::FakePlatform()
    : FakePlatform(Parts{}) {}

FakePlatform::FakePlatform(Parts parts)
    : clipboard(*parts.clipboard)
    , sound(*parts.sound)
    , speech(*parts.speech)
    , inputMethod(*parts.inputMethod)
    , keys(*parts.keys)
    , clock(*parts.clock)
    , dialogs(*parts.dialogs)
    , launcher(*parts.launcher)
    , app(*parts.app)
    , announcer(*parts.announcer) {
    Platform::Services services;
    services.clipboard = std::move(parts.clipboard);
    services.sound = std::move(parts.sound);
    services.speech = std::move(parts.speech);
    services.inputMethod = std::move(parts.inputMethod);
    services.keys = std::move(parts.keys);
    services.clock = std::move(parts.clock);
    services.dialogs = std::move(parts.dialogs);
    services.launcher = std::move(parts.launcher);
    services.app = std::move(parts.app);
    services.announcer = std::move(parts.announcer);
    m_platform = std::make_unique<Platform>(std::move(services));
}

void FakePlatform::clearRecords() {
    clipboard.texts.clear();
    speech.spoken.clear();
    speech.volumes.clear();
    sound.played.clear();
    sound.prepared.clear();
    keys.posted.clear();
    dialogs.messages.clear();
    dialogs.openCalls.clear();
    inputMethod.hiraganaBoxes.clear();
    inputMethod.alphanumericBoxes.clear();
    announcer.texts.clear();
    announcer.windows.clear();
}

} // namespace tokotoko::test

#pragma once

#include "../SoundCue.h"
#include "../Speech.h"

#include <QStringList>

#include <memory>

namespace tokotoko {

class MediaPlugin;

// Finds and loads the sound and speech module once, on first need. Null (and one warning)
// where it cannot be loaded: the program then stays silent, as it does without a sound server.
class MediaModule {
public:
    explicit MediaModule(QStringList folders);
    MediaPlugin* plugin();
    const QStringList& folders() const { return m_folders; }

private:
    QStringList m_folders;
    MediaPlugin* m_plugin = nullptr;
    bool m_tried = false;
};

// The cues, built from the module at the first prepare or play.
class DeferredSoundCue final : public SoundCue {
public:
    explicit DeferredSoundCue(std::shared_ptr<MediaModule> module);
    void prepare(const QString& cueFile) override;
    void play(const QString& cueFile) override;

private:
    SoundCue* real();
    std::shared_ptr<MediaModule> m_module;
    std::unique_ptr<SoundCue> m_real;
};

// The speech service, built from the module at the first voice.
class DeferredSpeech final : public Speech {
public:
    explicit DeferredSpeech(std::shared_ptr<MediaModule> module);
    std::unique_ptr<SpeechVoice> createVoice() override;

private:
    std::shared_ptr<MediaModule> m_module;
    std::unique_ptr<Speech> m_real;
};

} // namespace tokotoko

#pragma once

#include <QString>
#include <memory>

namespace tokotoko {

// A window's text-to-speech voice. speak() returns at once; texts are spoken one after the
// other in the order given, never cutting off the one being spoken.
class SpeechVoice {
public:
    virtual ~SpeechVoice() = default;
    // 0 to 100; 100 is the loudest setting of the engine.
    virtual void setVolume(int percent) = 0;
    virtual void speak(const QString& text) = 0;
};

// The process's speech service. A voice is a light handle; all voices share one queue, so
// two windows never cut each other off.
class Speech {
public:
    virtual ~Speech() = default;
    // Returns at once: the engine starts in the background with the first voice. Where it
    // cannot start (no daemon, no voice) the voice drops its texts unspoken. Callers also
    // accept nullptr, a service with no voice at all, and then stay silent.
    virtual std::unique_ptr<SpeechVoice> createVoice() = 0;
};

} // namespace tokotoko

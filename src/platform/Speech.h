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
// two windows never cut each other off. Creating a voice never blocks the caller.
class Speech {
public:
    virtual ~Speech() = default;
    // nullptr when no speech is available at all; callers then stay silent.
    virtual std::unique_ptr<SpeechVoice> createVoice() = 0;
};

} // namespace tokotoko

#pragma once

#include <QString>

namespace tokotoko {

// Short WAV cues looked up beside the program. Files are named by their cue string, which
// starts with a backslash ("\\ding.wav"). Playing is asynchronous; a new cue replaces a playing
// one and is heard from its start; a missing or unplayable file gives the default cue instead.
class SoundCue {
public:
    virtual ~SoundCue() = default;
    // Loads the file ahead of its first use, so that the first cue is not late.
    virtual void prepare(const QString& cueFile) = 0;
    virtual void play(const QString& cueFile) = 0;
};

} // namespace tokotoko

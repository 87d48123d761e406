#pragma once

#include "../SoundCue.h"
#include "../Speech.h"

#include <QStringList>
#include <QtPlugin>

#include <memory>

namespace tokotoko {

// Sound and speech live in a module of their own (libtokotoko_media.so beside the program):
// Qt Multimedia, PulseAudio with its codecs and Qt TextToSpeech would add some twenty libraries
// to every launch, and the entrance uses none of them. The module is loaded when a window
// first asks for a cue or a voice.
class MediaPlugin {
public:
    virtual ~MediaPlugin() = default;
    virtual std::unique_ptr<SoundCue> makeSoundCue(const QStringList& folders) = 0;
    virtual std::unique_ptr<Speech> makeSpeech() = 0;
};

} // namespace tokotoko

#define TokotokoMediaPlugin_iid "org.tokotoko.MediaPlugin/1"
Q_DECLARE_INTERFACE(tokotoko::MediaPlugin, TokotokoMediaPlugin_iid)

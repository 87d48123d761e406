#pragma once

#include "Announcer.h"
#include "AppControl.h"
#include "Clipboard.h"
#include "Clock.h"
#include "Dialogs.h"
#include "InputMethod.h"
#include "KeyInjector.h"
#include "Launcher.h"
#include "SoundCue.h"
#include "Speech.h"

#include <memory>

namespace tokotoko {

// Every service of the desktop that a window uses, built once in main (or by a test) and
// handed to each window by its constructor. Windows reach the desktop only through these.
class Platform {
public:
    struct Services {
        std::unique_ptr<Clipboard> clipboard;
        std::unique_ptr<SoundCue> sound;
        std::unique_ptr<Speech> speech;
        std::unique_ptr<InputMethod> inputMethod;
        std::unique_ptr<KeyInjector> keys;
        std::unique_ptr<Clock> clock;
        std::unique_ptr<Dialogs> dialogs;
        std::unique_ptr<Launcher> launcher;
        std::unique_ptr<AppControl> app;
        std::unique_ptr<Announcer> announcer;
    };

    explicit Platform(Services services);
    Platform(const Platform&) = delete;
    Platform& operator=(const Platform&) = delete;

    Clipboard& clipboard() const { return *m_services.clipboard; }
    SoundCue& sound() const { return *m_services.sound; }
    Speech& speech() const { return *m_services.speech; }
    InputMethod& inputMethod() const { return *m_services.inputMethod; }
    KeyInjector& keys() const { return *m_services.keys; }
    Clock& clock() const { return *m_services.clock; }
    Dialogs& dialogs() const { return *m_services.dialogs; }
    Launcher& launcher() const { return *m_services.launcher; }
    AppControl& app() const { return *m_services.app; }
    Announcer& announcer() const { return *m_services.announcer; }

private:
    Services m_services;
};

// The real desktop: Qt's clipboard, Qt Multimedia, Qt TextToSpeech, fcitx5 over D-Bus, the
// screen reader through Qt's accessibility.
std::unique_ptr<Platform> makeQtPlatform();

} // namespace tokotoko

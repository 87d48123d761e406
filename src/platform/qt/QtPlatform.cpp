#include "../Platform.h"
#include "QtAnnouncer.h"
#include "QtServices.h"
#include "QtSoundCue.h"
#include "QtSpeech.h"

namespace tokotoko {

std::unique_ptr<Platform> makeQtPlatform() {
    Platform::Services services;
    auto app = std::make_unique<QtAppControl>();
    services.sound = std::make_unique<QtSoundCue>(app->dataFolders());
    services.app = std::move(app);
    services.clipboard = std::make_unique<QtClipboard>();
    services.speech = std::make_unique<QtSpeech>();
    services.inputMethod = std::make_unique<QtInputMethod>();
    services.keys = std::make_unique<QtKeyInjector>();
    services.clock = std::make_unique<SystemClock>();
    services.dialogs = std::make_unique<QtDialogs>();
    services.launcher = std::make_unique<QtLauncher>();
    services.announcer = std::make_unique<QtAnnouncer>();
    return std::make_unique<Platform>(std::move(services));
}

} // namespace tokotoko

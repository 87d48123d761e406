#include "../Platform.h"
#include "DeferredMedia.h"
#include "QtAnnouncer.h"
#include "QtServices.h"

namespace tokotoko {

std::unique_ptr<Platform> makeQtPlatform() {
    Platform::Services services;
    auto app = std::make_unique<QtAppControl>();
    auto media = std::make_shared<MediaModule>(app->dataFolders());
    services.sound = std::make_unique<DeferredSoundCue>(media);
    services.speech = std::make_unique<DeferredSpeech>(media);
    services.app = std::move(app);
    services.clipboard = std::make_unique<QtClipboard>();
    services.inputMethod = std::make_unique<QtInputMethod>();
    services.keys = std::make_unique<QtKeyInjector>();
    services.clock = std::make_unique<SystemClock>();
    services.dialogs = std::make_unique<QtDialogs>();
    services.launcher = std::make_unique<QtLauncher>();
    services.announcer = std::make_unique<QtAnnouncer>();
    return std::make_unique<Platform>(std::move(services));
}

} // namespace tokotoko

// The module that holds the Qt Multimedia and Qt TextToSpeech services.
#include "MediaPlugin.h"
#include "QtSoundCue.h"
#include "QtSpeech.h"

#include <QObject>

namespace tokotoko {

class QtMediaPlugin final : public QObject, public MediaPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID TokotokoMediaPlugin_iid)
    Q_INTERFACES(tokotoko::MediaPlugin)

public:
    std::unique_ptr<SoundCue> makeSoundCue(const QStringList& folders) override {
        return std::make_unique<QtSoundCue>(folders);
    }
    std::unique_ptr<Speech> makeSpeech() override { return std::make_unique<QtSpeech>(); }
};

} // namespace tokotoko

#include "QtMediaPlugin.moc"

#include "DeferredMedia.h"

#include "MediaPlugin.h"

#include <QCoreApplication>
#include <QDir>
#include <QPluginLoader>
#include <QtDebug>

namespace tokotoko {

MediaModule::MediaModule(QStringList folders)
    : m_folders(std::move(folders)) {}

MediaPlugin* MediaModule::plugin() {
    if (m_tried)
        return m_plugin;
    m_tried = true;
    const QString programFolder = QCoreApplication::applicationDirPath();
    QStringList places{programFolder};
#ifdef TOKOTOKO_MODULE_SUBDIR
    places << QDir::cleanPath(programFolder + QLatin1String("/../") +
                              QLatin1String(TOKOTOKO_MODULE_SUBDIR));
#endif
#ifdef TOKOTOKO_INSTALL_MODULEDIR
    places << QStringLiteral(TOKOTOKO_INSTALL_MODULEDIR);
#endif
    QStringList errors;
    for (const QString& place : std::as_const(places)) {
        const QString file = place + QLatin1String("/libtokotoko_media.so");
        if (!QFile::exists(file))
            continue;
        // Never unloaded: its objects live until the program ends.
        QPluginLoader loader(file);
        m_plugin = qobject_cast<MediaPlugin*>(loader.instance());
        if (m_plugin)
            return m_plugin;
        errors << loader.errorString();
    }
    qWarning().noquote() << "tokotoko: no sound or speech: the module libtokotoko_media.so"
                         << (errors.isEmpty()
                                 ? QStringLiteral("is not in %1").arg(places.join(", "))
                                 : errors.join("; "));
    return nullptr;
}

DeferredSoundCue::DeferredSoundCue(std::shared_ptr<MediaModule> module)
    : m_module(std::move(module)) {}

SoundCue* DeferredSoundCue::real() {
    if (!m_real)
        if (MediaPlugin* plugin = m_module->plugin())
            m_real = plugin->makeSoundCue(m_module->folders());
    return m_real.get();
}

void DeferredSoundCue::prepare(const QString& cueFile) {
    if (SoundCue* cues = real())
        cues->prepare(cueFile);
}

void DeferredSoundCue::play(const QString& cueFile) {
    if (SoundCue* cues = real())
        cues->play(cueFile);
}

DeferredSpeech::DeferredSpeech(std::shared_ptr<MediaModule> module)
    : m_module(std::move(module)) {}

std::unique_ptr<SpeechVoice> DeferredSpeech::createVoice() {
    if (!m_real)
        if (MediaPlugin* plugin = m_module->plugin())
            m_real = plugin->makeSpeech();
    return m_real ? m_real->createVoice() : nullptr;
}

} // namespace tokotoko

#include "QtSoundCue.h"

#include <QApplication>
#include <QAudioDevice>
#include <QDir>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>

#include <utility>

// The default cue is a resource of this static library. The linker drops an object file that
// nothing refers to, the resource's registration included, so it is asked for by name (this
// has to happen outside any namespace).
static void registerCueResources() {
    Q_INIT_RESOURCE(platform);
}

namespace tokotoko {
namespace {

constexpr int kUsesPerEffect = 2;       // a reused effect goes silent from about its 5th play
constexpr qint64 kLoadTimeoutMs = 1500; // a header-only WAV stays Loading forever
const QString kDefaultCueKey = QStringLiteral(":default");

QUrl defaultCueSource() {
    return QUrl(QStringLiteral("qrc:/tokotoko/cues/default.wav"));
}

bool haveAudioOutput() {
    return !QMediaDevices::audioOutputs().isEmpty();
}

} // namespace

QtSoundCue::QtSoundCue(QStringList folders)
    : m_folders(std::move(folders)) {
    static const bool registered = (registerCueResources(), true);
    Q_UNUSED(registered);
}

QtSoundCue::~QtSoundCue() = default;

QUrl QtSoundCue::resolve(const QString& cueFile) const {
    QString name = cueFile;
    while (name.startsWith(QLatin1Char('\\')) || name.startsWith(QLatin1Char('/')))
        name.remove(0, 1);
    if (name.isEmpty())
        return {};
    for (const QString& folder : m_folders) {
        const QFileInfo file(folder + QLatin1Char('/') + name);
        if (file.isFile())
            return QUrl::fromLocalFile(QDir::cleanPath(file.absoluteFilePath()));
    }
    return {};
}

void QtSoundCue::refill(Pool& pool, Slot& slot) {
    slot.effect = std::make_unique<QSoundEffect>();
    slot.effect->setSource(pool.source);
    slot.uses = 0;
    slot.age.start();
}

QtSoundCue::Pool& QtSoundCue::poolFor(const QString& key, const QUrl& source) {
    auto it = m_pools.find(key);
    if (it == m_pools.end()) {
        it = m_pools.emplace(key, Pool{}).first;
        it->second.source = source;
        for (Slot& slot : it->second.effects)
            refill(it->second, slot);
    }
    return it->second;
}

bool QtSoundCue::playable(const Slot& slot) {
    switch (slot.effect->status()) {
    case QSoundEffect::Ready:
        return true;
    case QSoundEffect::Loading:
        return slot.age.elapsed() < kLoadTimeoutMs;
    default:
        return false;
    }
}

void QtSoundCue::prepare(const QString& cueFile) {
    if (!haveAudioOutput())
        return;
    const QUrl source = resolve(cueFile);
    poolFor(source.isEmpty() ? kDefaultCueKey : cueFile,
            source.isEmpty() ? defaultCueSource() : source);
}

void QtSoundCue::stopAll() {
    m_retired.clear(); // deleting an effect silences it
    for (auto& [key, pool] : m_pools) {
        for (Slot& slot : pool.effects) {
            if (slot.effect->isPlaying())
                slot.effect->stop();
        }
    }
}

bool QtSoundCue::playFrom(Pool& pool) {
    Slot& slot = pool.effects[pool.next];
    pool.next = (pool.next + 1) % pool.effects.size();
    if (!playable(slot))
        return false;
    slot.effect->play();
    if (++slot.uses >= kUsesPerEffect) {
        // Keep the playing effect alive until the next cue; load its successor now so that
        // it is ready when its turn comes.
        m_retired.push_back(std::move(slot.effect));
        refill(pool, slot);
    }
    return true;
}

void QtSoundCue::play(const QString& cueFile) {
    if (!haveAudioOutput())
        return; // no device: silence, not an error
    stopAll();
    const QUrl source = resolve(cueFile);
    if (!source.isEmpty() && playFrom(poolFor(cueFile, source)))
        return;
    if (!playFrom(poolFor(kDefaultCueKey, defaultCueSource())))
        QApplication::beep();
}

} // namespace tokotoko

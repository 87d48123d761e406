#pragma once

#include "../SoundCue.h"

#include <QElapsedTimer>
#include <QStringList>
#include <QUrl>

#include <array>
#include <map>
#include <memory>
#include <vector>

class QSoundEffect;

namespace tokotoko {

// WAV cues through Qt Multimedia. One QSoundEffect goes silent after a few plays, so each
// file has a small pool of effects that are used in turn and replaced after two plays; the
// status of an effect is checked before it plays, and a missing or broken file (or one that
// never finishes loading) plays the default cue built into the program instead.
class QtSoundCue final : public SoundCue {
public:
    explicit QtSoundCue(QStringList folders);
    ~QtSoundCue() override;

    void prepare(const QString& cueFile) override;
    void play(const QString& cueFile) override;

    // The file a cue string names, or an empty URL when it is in none of the folders.
    QUrl resolve(const QString& cueFile) const;

private:
    struct Slot {
        std::unique_ptr<QSoundEffect> effect;
        int uses = 0;
        QElapsedTimer age;
    };
    struct Pool {
        QUrl source;
        std::array<Slot, 3> effects;
        std::size_t next = 0;
    };

    Pool& poolFor(const QString& key, const QUrl& source);
    static void refill(Pool& pool, Slot& slot);
    static bool playable(const Slot& slot);
    bool playFrom(Pool& pool);
    void stopAll();

    QStringList m_folders;
    std::map<QString, Pool> m_pools;
    std::vector<std::unique_ptr<QSoundEffect>> m_retired;
};

} // namespace tokotoko

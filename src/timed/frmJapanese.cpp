#include "frmJapanese.h"

namespace tokotoko {

frmJapanese::frmJapanese(Platform& platform)
    : TimedChallenge(platform, kJapaneseTimedChallenge) {}

} // namespace tokotoko

#include "frmEnglish.h"

namespace tokotoko {

frmEnglish::frmEnglish(Platform& platform)
    : TimedChallenge(platform, kEnglishTimedChallenge) {}

} // namespace tokotoko

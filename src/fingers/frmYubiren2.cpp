#include "frmYubiren2.h"

namespace tokotoko {

frmYubiren2::frmYubiren2(Platform& platform)
    : YubirenChallenge(platform, kAlphabetChallenge) {}

} // namespace tokotoko

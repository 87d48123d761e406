#include "frmYubiren2.h"

namespace tokotoko {

frmYubiren2::frmYubiren2(Platform& platform)
    : KeyGame(platform, kAlphabetGame) {}

} // namespace tokotoko

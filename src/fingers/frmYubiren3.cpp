#include "frmYubiren3.h"

namespace tokotoko {

frmYubiren3::frmYubiren3(Platform& platform)
    : KeyGame(platform, kSymbolsAndNumbersGame) {}

} // namespace tokotoko

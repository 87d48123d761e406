#include "frmJapanese_1.h"

namespace tokotoko {

frmJapanese_1::frmJapanese_1(Platform& platform)
    : LinePractice(platform, kJapaneseLinePractice) {}

} // namespace tokotoko

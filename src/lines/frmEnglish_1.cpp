#include "frmEnglish_1.h"

namespace tokotoko {

frmEnglish_1::frmEnglish_1(Platform& platform)
    : LinePractice(platform, kEnglishLinePractice) {}

} // namespace tokotoko

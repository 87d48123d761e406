#pragma once

#include "LinePractice.h"

namespace tokotoko {

// The English line practice "ENGLISH Three Minute": lines typed in plain half-width
// characters; each shown line is spoken.
class frmEnglish_1 final : public LinePractice {
    Q_OBJECT
public:
    explicit frmEnglish_1(Platform& platform);
};

} // namespace tokotoko

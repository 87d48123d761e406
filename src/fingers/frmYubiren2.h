#pragma once

#include "KeyGame.h"

namespace tokotoko {

// The alphabet challenge "アルファベットに挑戦": 30 seconds of letters.
class frmYubiren2 final : public KeyGame {
    Q_OBJECT
public:
    explicit frmYubiren2(Platform& platform);
};

} // namespace tokotoko

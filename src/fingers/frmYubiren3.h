#pragma once

#include "KeyGame.h"

namespace tokotoko {

// The symbols-and-numbers challenge "数字と記号も登場": 60 seconds of letters, digits and the
// symbols of the JIS layout.
class frmYubiren3 final : public KeyGame {
    Q_OBJECT
public:
    explicit frmYubiren3(Platform& platform);
};

} // namespace tokotoko

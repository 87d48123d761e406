#pragma once

#include "TimedChallenge.h"

namespace tokotoko {

// The English timed challenge "ENGLISH Three Minute": English lines typed in half-width
// characters; every line shown, the end text and the score are spoken, never copied.
class frmEnglish final : public TimedChallenge {
    Q_OBJECT
public:
    explicit frmEnglish(Platform& platform);
};

} // namespace tokotoko

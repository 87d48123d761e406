#pragma once

#include "TimedChallenge.h"

namespace tokotoko {

// The Japanese timed challenge "応用日本語入力　３分": Japanese lines typed with kana-kanji
// conversion; every line shown, the end text and the score go to the clipboard.
class frmJapanese final : public TimedChallenge {
    Q_OBJECT
public:
    explicit frmJapanese(Platform& platform);
};

} // namespace tokotoko

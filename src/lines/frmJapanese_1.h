#pragma once

#include "LinePractice.h"

namespace tokotoko {

// The Japanese line practice "応用日本語入力　１": lines copied through the input method's
// kana-kanji conversion; each shown line goes to the clipboard.
class frmJapanese_1 final : public LinePractice {
    Q_OBJECT
public:
    explicit frmJapanese_1(Platform& platform);
};

} // namespace tokotoko

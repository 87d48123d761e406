#include "Exercises.h"

#include "app/FormCatalog.h"
#include "common/FormWindow.h"
#include "fingers/frmYubiren.h"
#include "fingers/frmYubiren2.h"
#include "fingers/frmYubiren3.h"
#include "keyguide/frmKeyGuide.h"
#include "lines/frmEnglish_1.h"
#include "lines/frmJapanese_1.h"
#include "timed/frmEnglish.h"
#include "timed/frmJapanese.h"

namespace tokotoko {
namespace {

template <typename Form> std::unique_ptr<FormWindow> make(Platform& platform) {
    return std::make_unique<Form>(platform);
}

} // namespace

const std::array<Exercise, kExerciseCount>& exercises() {
    static const std::array<Exercise, kExerciseCount> table{{
        {"txtKeyGuide", u"押せばわかる", "frmKeyGuide", &make<frmKeyGuide>},
        {"txtYubiren", u"どの指使うの", "frmYubiren", &make<frmYubiren>},
        {"txtYubiren2", u"ｱﾙﾌｧﾍﾞｯﾄに挑戦", "frmYubiren2", &make<frmYubiren2>},
        {"txtYubiren3", u"記号と数字も登場", "frmYubiren3", &make<frmYubiren3>},
        {"txtJapanese_1", u"応用日本語入力１", "frmJapanese_1", &make<frmJapanese_1>},
        {"txtJapanese", u"応用日本語入力２", "frmJapanese", &make<frmJapanese>},
        {"txtEnglish_1", u"応用英語入力１", "frmEnglish_1", &make<frmEnglish_1>},
        {"txtEnglish", u"応用英語入力２", "frmEnglish", &make<frmEnglish>},
    }};
    return table;
}

void registerExercises(FormCatalog& catalog, Platform& platform) {
    for (int entry = 1; entry <= kExerciseCount; ++entry) {
        const auto make = exercises()[static_cast<std::size_t>(entry - 1)].make;
        catalog.add(entry, [&platform, make] { return make(platform); });
    }
}

} // namespace tokotoko

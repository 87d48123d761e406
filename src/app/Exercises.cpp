#include "Exercises.h"

#include "common/FormCatalog.h"
#include "common/FormWindow.h"

#include "fingers/frmYubiren.h"
#include "fingers/frmYubiren2.h"
#include "fingers/frmYubiren3.h"
#include "keyguide/frmKeyGuide.h"
#include "lines/frmEnglish_1.h"
#include "lines/frmJapanese_1.h"
#include "timed/frmEnglish.h"
#include "timed/frmJapanese.h"

#include <memory>

namespace tokotoko {

namespace {

template <typename Form> FormCatalog::Factory factory(Platform& platform) {
    return [&platform] { return std::make_unique<Form>(platform); };
}

} // namespace

void registerExercises(FormCatalog& catalog, Platform& platform) {
    catalog.add(1, factory<frmKeyGuide>(platform));
    catalog.add(2, factory<frmYubiren>(platform));
    catalog.add(3, factory<frmYubiren2>(platform));
    catalog.add(4, factory<frmYubiren3>(platform));
    catalog.add(5, factory<frmJapanese_1>(platform));
    catalog.add(7, factory<frmEnglish_1>(platform));
    catalog.add(6, factory<frmJapanese>(platform));
    catalog.add(8, factory<frmEnglish>(platform));
}

} // namespace tokotoko

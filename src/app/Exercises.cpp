#include "Exercises.h"

#include "common/FormCatalog.h"
#include "common/FormWindow.h"

#ifdef TOKOTOKO_HAVE_KEYGUIDE
#include "keyguide/frmKeyGuide.h"
#endif
#ifdef TOKOTOKO_HAVE_FINGERS
#include "fingers/frmYubiren.h"
#include "fingers/frmYubiren2.h"
#include "fingers/frmYubiren3.h"
#endif
#ifdef TOKOTOKO_HAVE_LINES
#include "lines/frmEnglish_1.h"
#include "lines/frmJapanese_1.h"
#endif
#ifdef TOKOTOKO_HAVE_TIMED
#include "timed/frmEnglish.h"
#include "timed/frmJapanese.h"
#endif

#include <memory>

namespace tokotoko {

namespace {

template <typename Form> [[maybe_unused]] FormCatalog::Factory factory(Platform& platform) {
    return [&platform] { return std::make_unique<Form>(platform); };
}

} // namespace

void registerExercises([[maybe_unused]] FormCatalog& catalog, [[maybe_unused]] Platform& platform) {
#ifdef TOKOTOKO_HAVE_KEYGUIDE
    catalog.add(1, factory<frmKeyGuide>(platform));
#endif
#ifdef TOKOTOKO_HAVE_FINGERS
    catalog.add(2, factory<frmYubiren>(platform));
    catalog.add(3, factory<frmYubiren2>(platform));
    catalog.add(4, factory<frmYubiren3>(platform));
#endif
#ifdef TOKOTOKO_HAVE_LINES
    catalog.add(5, factory<frmJapanese_1>(platform));
    catalog.add(7, factory<frmEnglish_1>(platform));
#endif
#ifdef TOKOTOKO_HAVE_TIMED
    catalog.add(6, factory<frmJapanese>(platform));
    catalog.add(8, factory<frmEnglish>(platform));
#endif
}

} // namespace tokotoko

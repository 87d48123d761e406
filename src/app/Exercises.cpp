#include "Exercises.h"

#include "common/FormCatalog.h"
#include "common/FormWindow.h"

#include <memory>

namespace tokotoko {

namespace {

template <typename Form> FormCatalog::Factory factory(Platform& platform) {
    return [&platform] { return std::make_unique<Form>(platform); };
}

} // namespace

void registerExercises(FormCatalog& catalog, Platform& platform) {
    // Each exercise folder adds its windows here as it is built, for example:
    // catalog.add(1, factory<frmKeyGuide>(platform));
    (void)catalog;
    (void)platform;
}

} // namespace tokotoko

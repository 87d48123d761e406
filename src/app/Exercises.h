#pragma once

namespace tokotoko {

class FormCatalog;
class Platform;

// Puts the exercise windows behind the entrance's entries 1 to 8.
void registerExercises(FormCatalog& catalog, Platform& platform);

} // namespace tokotoko

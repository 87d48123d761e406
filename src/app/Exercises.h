#pragma once

// The eight exercises behind the entrance's entries, in the entrance's order: the one list that
// the entrance, the window catalog and the tests read. Entry n (1 to 8) is row n - 1, and its
// digit key is n. A new exercise is one row here and a folder of its own under src/.

#include <array>
#include <memory>

namespace tokotoko {

class FormCatalog;
class FormWindow;
class Platform;

struct Exercise {
    const char* entryName;   // the entrance's text box: txtKeyGuide ... txtEnglish
    const char16_t* caption; // the entry's second line, under its full-width digit
    const char* formName;    // the window's object name: frmKeyGuide ... frmEnglish
    std::unique_ptr<FormWindow> (*make)(Platform& platform);
};

inline constexpr int kExerciseCount = 8;

const std::array<Exercise, kExerciseCount>& exercises();

// Puts the exercise windows behind the entries 1 to 8 of `catalog`.
void registerExercises(FormCatalog& catalog, Platform& platform);

} // namespace tokotoko

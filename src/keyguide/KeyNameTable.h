#pragma once

// The key name table of the key guide: for a key-down event (virtual-key code and shift
// state) the key's name and its reading, laid out for a Japanese (JIS) keyboard. Plain data
// and lookup only, no widgets, so that tests and fuzzers can drive it directly.
//
// Three groups are tried in order:
//   1. the plain group when no modifier is held, the shifted group when Shift alone is held
//      (nothing when Ctrl or Alt is held);
//   2. the modifier group (Shift, Ctrl, Alt themselves), whatever is held.
// A key found in neither leaves the texts as they were.

#include <QString>

#include <optional>

namespace tokotoko {

// What the key guide shows: the key name and the key reading.
struct KeyTexts {
    QString name;
    QString reading;
    friend bool operator==(const KeyTexts&, const KeyTexts&) = default;
};

// One entry: a name, and a reading unless the entry sets only the name (Shift+0).
struct KeyNameEntry {
    QString name;
    std::optional<QString> reading;
    friend bool operator==(const KeyNameEntry&, const KeyNameEntry&) = default;
};

class KeyNameTable {
public:
    enum class Group { Plain, Shifted, Modifier };

    // The entry of `keyCode` in one group, if it has one.
    static std::optional<KeyNameEntry> find(Group group, int keyCode);
    // The group the first step looks in for a shift state: Plain for 0, Shifted for Shift
    // alone, none when Ctrl or Alt is held.
    static std::optional<Group> groupForShift(int shift);
    // Both steps: what is shown after a key down, given what was shown before.
    static KeyTexts lookUp(int keyCode, int shift, const KeyTexts& shown);
    // Applies an entry to the texts shown: the name, then the reading if the entry has one.
    static void apply(const KeyNameEntry& entry, KeyTexts& shown);
};

} // namespace tokotoko

#pragma once

// The key name table of the key guide: for a key-down event (virtual-key code and shift
// state) the key's name and its reading, laid out for a Japanese (JIS) keyboard. Plain data
// and lookup only, no widgets, so that tests and fuzzers can drive it directly.
//
// Three groups are tried in order:
//   1. the plain group when no modifier is held, the shifted group when Shift alone is held
//      (nothing when Ctrl or Alt is held);
//   2. the modifier group (Shift, Ctrl, Alt themselves), whatever is held.
// The lookup says what each step found and where; the key guide shows it and acts on it. A key
// found in neither leaves the texts as they were.

#include <QString>

#include <optional>

namespace tokotoko {

// One entry: a name, and a reading unless the entry sets only the name (Shift+0).
struct KeyNameEntry {
    QString name;
    std::optional<QString> reading;
    friend bool operator==(const KeyNameEntry&, const KeyNameEntry&) = default;
};

class KeyNameTable {
public:
    enum class Group { Plain, Shifted, Modifier };

    // An entry with the group it was found in.
    struct Hit {
        Group group;
        KeyNameEntry entry;
        friend bool operator==(const Hit&, const Hit&) = default;
    };

    // What a key down finds, step by step; the key guide shows the first step's entry, then
    // the modifier step's, each over what was shown before.
    struct Found {
        std::optional<Hit> first;             // the plain or the shifted group
        std::optional<KeyNameEntry> modifier; // the modifier group
        friend bool operator==(const Found&, const Found&) = default;
    };

    // Both steps for a key down: virtual-key code and shift state.
    static Found lookUp(int keyCode, int shift);
    // The entry of `keyCode` in one group, if it has one.
    static std::optional<KeyNameEntry> find(Group group, int keyCode);
};

} // namespace tokotoko

#pragma once

// The three groups of an ensemble. Everything that counts or indexes groups
// (score staves, animation pictures, selectors, full-view columns) uses this
// numbering; the ensemble's stored form (group letters "s", "m", "b" and
// the numbers 1-3 of its text) is converted only where it is read or written.
enum class BellGroup { Small = 0, Middle = 1, Big = 2 };

inline constexpr int kGroupCount = 3;

constexpr int groupIndex(BellGroup group) {
    return static_cast<int>(group);
}

constexpr BellGroup groupAt(int index) {
    return static_cast<BellGroup>(index);
}

// The ensemble's numbering: 1 small, 2 middle, 3 big.
constexpr int ensembleGroupNumber(BellGroup group) {
    return groupIndex(group) + 1;
}

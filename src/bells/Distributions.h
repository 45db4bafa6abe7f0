#pragma once

#include "bells/Ensemble.h"

#include <QString>

#include <array>
#include <optional>

// The recommended distributions of a selection into the three groups, and
// the limits the hand adjustments of the groups keep.
//
// For every bell count n from 5 to 15 the table has five slots (variants
// 0..4); a slot is three decimal digits giving the numbers of small, middle
// and big bells, "000" when empty. Filled slots come first in a row and
// their digits add up to n.
class Distributions {
public:
    static constexpr int kMinimumBells = 5;
    static constexpr int kSlots = 5;
    static constexpr int kSmallLimit = 3;
    static constexpr int kMiddleLimit = 7;
    static constexpr int kBigLimit = 5;
    // The small group only takes bells above this index.
    static constexpr int kLastNonSmallBell = 10;

    Distributions();

    // Slot v of row n; "000" for an empty slot or n, v outside the table.
    QString slot(int n, int v) const;
    // The number of filled slots of row n (0 outside the table).
    int variantCount(int n) const;

    // The text of the distributions message for n selected bells.
    QString message(int n) const;
    // " вариант", " варианта" or " вариантов" after the number k.
    static QString variantWord(int k);

    struct Navigation {
        bool previous = false;
        bool next = false;
        bool operator==(const Navigation&) const = default;
    };
    // Which variant buttons are enabled at variant v with n bells.
    Navigation navigation(int n, int v) const;

    // Sets every group code from the selection and variant v: the big group
    // takes the lowest selected bells, then the middle group, the rest are
    // small; then no bell 0..10 is left small (each moves to the middle, and
    // a full middle group first gives its highest bell to the big group).
    // With fewer than five selected bells every group code is 0.
    void assign(Ensemble& ensemble, int v) const;

private:
    std::array<std::array<QString, kSlots>, 16> m_table;
};

// The limits of the hand adjustments of the groups tree.
namespace GroupLimits {

// Whether a drop of bell onto the root of group (small, middle or big) is
// accepted: small needs fewer than 3 small bells and an index above 10,
// middle fewer than 7, big fewer than 5 (a bell already in the group counts).
bool canTake(const Ensemble& ensemble, int bell, int group);

// Whether the "add bell" item of bell is enabled in the tree's popup menu.
// rootGroup is the group of the selected node's root, or nothing when no
// node is selected or fewer than five bells are selected.
bool canAdd(const Ensemble& ensemble, int bell, std::optional<int> rootGroup);

} // namespace GroupLimits

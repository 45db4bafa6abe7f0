#pragma once

// A page of the score holds 64 columns: the page selector, the cursor, the
// printed and exported pages and the full view all turn pages at this size.
inline constexpr int kPageColumns = 64;

// The page index of a column. Floor, not truncation: column -1 lies on
// page -1, before the first page.
constexpr int pageOfColumn(int column) {
    return column >= 0 ? column / kPageColumns : -((-column + kPageColumns - 1) / kPageColumns);
}

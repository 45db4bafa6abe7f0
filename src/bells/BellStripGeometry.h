#pragma once

#include "bells/Ensemble.h"

#include <QRect>

#include <array>

// Where the fifteen bell pictures of the strip go for a given client width.
// With w = (clientWidth - 4) / 15 as a real number and x starting at 2 and
// growing by w per picture, picture i has left = Round(x), width =
// Round(x + w - left), top 2 and height = width, so neighbours meet without
// gaps or overlaps and the last one ends at clientWidth - 2. The strip is
// Round(w) + 8 high; the marker of the current bell runs along its bottom,
// below the pictures, as wide as the current bell's picture. Round is half
// to even.
struct BellStripGeometry {
    int panelHeight = 8;
    std::array<QRect, kBellCount> pictures{};

    QRect marker(int bell) const;

    static BellStripGeometry forClientWidth(int clientWidth);

    static constexpr int kMarkerHeight = 3;
};

#include "bells/BellStripGeometry.h"

#include <gtest/gtest.h>

#include <cmath>

// At several widths: no gaps, no overlaps, square pictures at top 2, the last ending at the right edge.
TEST(BellStripGeometry, PicturesTileTheStrip) {
    for (int width : {778, 800, 1000, 1024, 1279, 1280, 1920, 64}) {
        SCOPED_TRACE(width);
        const BellStripGeometry g = BellStripGeometry::forClientWidth(width);
        const double w = (width - 4) / 15.0;
        EXPECT_EQ(g.panelHeight, static_cast<int>(std::nearbyint(w)) + 8);
        EXPECT_EQ(g.pictures[0].left(), 2);
        for (int i = 0; i < kBellCount; ++i) {
            EXPECT_EQ(g.pictures[i].top(), 2);
            EXPECT_EQ(g.pictures[i].height(), g.pictures[i].width());
            EXPECT_LE(std::abs(g.pictures[i].width() - w), 1.0);
            if (i > 0) {
                EXPECT_EQ(g.pictures[i].left(), g.pictures[i - 1].left() + g.pictures[i - 1].width());
            }
            // The marker lies under the pictures, inside the strip.
            EXPECT_GE(g.marker(i).top(), g.pictures[i].bottom() + 1);
            EXPECT_LE(g.marker(i).bottom(), g.panelHeight - 1);
            EXPECT_EQ(g.marker(i).left(), g.pictures[i].left());
            EXPECT_EQ(g.marker(i).width(), g.pictures[i].width());
        }
        const QRect& last = g.pictures[kBellCount - 1];
        EXPECT_LE(std::abs(last.left() + last.width() - (width - 2)), 1);
    }
}

// A width worked by hand: 778 gives w = 51.6, a strip 60 high and pictures 52, 51, 52, 51, 52 wide.
TEST(BellStripGeometry, WorkedWidth) {
    const BellStripGeometry g = BellStripGeometry::forClientWidth(778);
    EXPECT_EQ(g.panelHeight, 60);
    const int lefts[] = {2, 54, 105, 157, 208, 260};
    const int widths[] = {52, 51, 52, 51, 52, 52};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(g.pictures[i].left(), lefts[i]) << i;
        EXPECT_EQ(g.pictures[i].width(), widths[i]) << i;
    }
    EXPECT_EQ(g.pictures[14].left() + g.pictures[14].width(), 776);
    // A strip too narrow for pictures gives empty ones, never negative sizes.
    const BellStripGeometry tiny = BellStripGeometry::forClientWidth(0);
    EXPECT_EQ(tiny.panelHeight, 8);
    EXPECT_EQ(tiny.pictures[3].width(), 0);
}

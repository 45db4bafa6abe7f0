// Where the animation's pictures stand at the window sizes users have: each
// picture inside its own place, no two places overlapping, and the places
// of a roomy window as the pictures were drawn.

#include "animation/PicturePlaces.h"
#include "animation/FullViewLayout.h"

#include <gtest/gtest.h>

// The usual view: below the group's selector, ending where the next band
// (and its selector) begins.
TEST(PicturePlaces, UsualPlaceEndsWhereTheNextBandBegins) {
    struct Case {
        int bandTop;
        int bandHeight;
        int selectorHeight;
        QRect expected;
    };
    const Case cases[] = {
        {0, 140, 24, {15, 32, 129, 60}},   // a tall band: the picture as drawn
        {100, 80, 24, {15, 132, 129, 48}}, // 1024 x 600: what is left of the band
        {10, 20, 24, {15, 42, 129, 0}},    // no room at all
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bandHeight);
        const QRect place = pictureplaces::usualPlace(c.bandTop, c.bandHeight, c.selectorHeight);
        EXPECT_EQ(place, c.expected);
    }
}

// The full view: three places stacked in pnlImages. Sizes: a roomy window,
// 1024 x 600, the smallest window 778 x 574, and panels smaller still.
TEST(PicturePlaces, FullPlacesNeitherOverlapNorLeaveThePanel) {
    const QSize panels[] = {{500, 630}, {589, 446}, {343, 420}, {150, 200}, {10, 24}};
    for (QSize panel : panels) {
        SCOPED_TRACE(testing::Message() << panel.width() << "x" << panel.height());
        const std::array<QRect, 4> places = pictureplaces::fullPlaces(panel.height(), panel.width());
        EXPECT_EQ(places[3], places[0]);
        for (int i = 0; i < 3; ++i) {
            if (places[i].isEmpty()) {
                continue;
            }
            EXPECT_TRUE(QRect(QPoint(0, 0), panel).contains(places[i])) << i;
            // Scaled down whole, not squeezed.
            EXPECT_NEAR(places[i].width() * 170.0 / 364, places[i].height(), 1.0) << i;
            for (int j = i + 1; j < 3; ++j) {
                EXPECT_FALSE(places[i].intersects(places[j])) << i << " " << j;
            }
        }
    }
    // Room enough: the pictures' own size at the tops and left of a full-size layout.
    const std::array<QRect, 4> roomy = pictureplaces::fullPlaces(630, 500);
    EXPECT_EQ(roomy[1], QRect(fullview::frameLeft(500), fullview::frameTops(630)[1], 364, 170));
    // Smallest window: every picture still shows most of itself.
    EXPECT_GE(pictureplaces::fullPlaces(420, 343)[0].height(), 120);
}

#include "bells/Ensemble.h"

#include <gtest/gtest.h>

// The text forms round-trip, unselected bells are written as "n".
TEST(Ensemble, TextFormsRoundTrip) {
    Ensemble e;
    e.applyText(QStringLiteral("111110000000000"), QStringLiteral("bbmssnnnnnnnnnn"));
    EXPECT_EQ(e.bellsText(), "111110000000000");
    EXPECT_EQ(e.typesText(), "bbmssnnnnnnnnnn");
    EXPECT_EQ(e.groupCountsText(), "212");
    EXPECT_EQ(e.group(0), kBigGroup);
    EXPECT_EQ(e.group(3), kSmallGroup);
    Ensemble back;
    back.applyText(e.bellsText(), e.typesText());
    EXPECT_EQ(back, e);
}

// Only "1" selects, letters are case-sensitive, short strings leave bells unselected.
TEST(Ensemble, MalformedTextIsReadSafely) {
    Ensemble e;
    e.applyText(QStringLiteral("1x1Y1"), QStringLiteral("Sm"));
    EXPECT_TRUE(e.isSelected(0));
    EXPECT_FALSE(e.isSelected(1));
    EXPECT_TRUE(e.isSelected(2));
    EXPECT_FALSE(e.isSelected(3));
    EXPECT_TRUE(e.isSelected(4));
    EXPECT_EQ(e.selectedCount(), 3);
    EXPECT_EQ(e.group(0), kNoGroup); // upper-case S
    EXPECT_EQ(e.group(2), kNoGroup); // past the end of Types
    EXPECT_EQ(e.typesText(), "nnnnnnnnnnnnnnn");
    // Out-of-range bells are ignored.
    e.setSelected(15, true);
    e.setSelected(-1, true);
    EXPECT_EQ(e.selectedCount(), 3);
}

// Group counts of ten or more make the counts text longer than three characters.
TEST(Ensemble, GroupCountsTextWithALargeGroup) {
    Ensemble e;
    for (int i = 0; i < 15; ++i) {
        e.setSelected(i, true);
        e.setGroup(i, i < 10 ? kMiddleGroup : kBigGroup);
    }
    EXPECT_EQ(e.groupCountsText(), "0105");
    e.clear();
    EXPECT_EQ(e.selectedCount(), 0);
    EXPECT_EQ(e.bellsText(), "000000000000000");
}

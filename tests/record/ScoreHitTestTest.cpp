#include "record/ScoreHitTest.h"
#include "record/RingingEdit.h"
#include "score/ScoreLayout.h"

#include <gtest/gtest.h>

namespace {

// A click on a head drawn by the layout names that head's column and bell,
// and toggling there removes exactly that token: on every group, on a later
// page, on the first and last places of a page and at odd staff sizes, with
// and without room kept above the staff (five small bells: a head on the top line).
TEST(ScoreHitTest, AClickOnAHeadTogglesThatToken) {
    struct Case {
        int group;
        QSize size;
        int page;
    };
    const Case cases[] = {{0, QSize(1280, 90), 0}, {1, QSize(1001, 187), 1}, {2, QSize(777, 133), 2}};
    const std::array<int, 3> counts = {5, 3, 4};
    for (const bool roomAbove : {false, true})
    for (const Case& c : cases) {
        const QChar letter = QStringLiteral("smb").at(c.group);
        // Every bell of the group once, spread over the page's 64 places.
        QStringList columns(kScorePageColumns * (c.page + 1));
        const int count = counts[static_cast<size_t>(c.group)];
        for (int place = 0; place < kScorePageColumns; ++place) {
            columns[c.page * kScorePageColumns + place] =
                QString(letter) + QString::number(place % count + 1);
        }
        ScorePage page;
        page.page = c.page;
        page.counts = counts;
        page.groups[static_cast<size_t>(c.group)] = columns;
        page.roomAbove = roomAbove;
        const int staffTop = scoreStaffArea(c.group, c.size, page).top;
        EXPECT_EQ(staffTop > 0, roomAbove && c.group == 0) << "group " << c.group;
        const std::vector<ScoreHead> heads = scoreHeads(c.group, c.size, page);
        ASSERT_EQ(heads.size(), size_t(kScorePageColumns));
        for (const ScoreHead& head : heads) {
            const std::optional<ScoreHit> hit =
                hitScore(c.group, c.size, c.page, count, QPoint(head.x, head.y), staffTop);
            ASSERT_TRUE(hit);
            EXPECT_EQ(hit->column, head.column) << "group " << c.group;
            EXPECT_EQ(strikeTokenOf(c.group, hit->position), head.token) << "group " << c.group;
            EXPECT_EQ(toggledColumn(columns.at(hit->column), strikeTokenOf(c.group, hit->position)),
                      QString());
        }
    }
}

TEST(ScoreHitTest, KnownPixels) {
    // Small staff 640 x 100: columns 10 px wide, rows 20 px; five bells put
    // s1 on the top line and s5 on the bottom row. Column 0's heads stand
    // 4.2 px right of its middle.
    const QSize size(640, 100);
    EXPECT_EQ(hitScore(0, size, 0, 5, QPoint(9, 1))->column, 0);
    EXPECT_EQ(hitScore(0, size, 0, 5, QPoint(9, 1))->position, 1);
    EXPECT_EQ(hitScore(0, size, 0, 5, QPoint(9, 81))->position, 5);
    // Half a row from a line still names it; below the lowest, nothing.
    EXPECT_EQ(hitScore(0, size, 0, 5, QPoint(9, 29))->position, 2);
    EXPECT_EQ(hitScore(0, size, 0, 5, QPoint(9, 95))->position, 0);
    // With three bells the top two lines carry none.
    EXPECT_EQ(hitScore(0, size, 0, 3, QPoint(9, 1))->position, 0);
    // The last place of page 2.
    EXPECT_EQ(hitScore(0, size, 2, 5, QPoint(636, 40))->column, 2 * 64 + 63);
    EXPECT_FALSE(hitScore(0, size, 0, 5, QPoint(640, 40)));
    EXPECT_FALSE(hitScore(0, size, 0, 5, QPoint(-1, 40)));
}

} // namespace

// The full view's vertical score and its geometry: lanes, bar lines and
// dots of a page, the cursor bars, the stacked pictures and the tool row.

#include "animation/FullScoreLayout.h"
#include "animation/FullViewLayout.h"

#include <gtest/gtest.h>

namespace {

// Lane x of lines, centre x of dots.
QList<int> xsOf(const std::vector<ScorePrimitive>& primitives, std::size_t from = 0, std::size_t count = 99) {
    QList<int> xs;
    for (std::size_t i = from; i < primitives.size() && i < from + count; ++i) {
        const ScorePrimitive& p = primitives[i];
        xs << (p.kind == ScorePrimitiveKind::FilledEllipse ? p.a.x() + fullscore::kDotRadius : p.a.x());
    }
    return xs;
}

QList<int> ysOf(const std::vector<ScorePrimitive>& dots) {
    QList<int> ys;
    for (const ScorePrimitive& dot : dots) {
        ys << dot.a.y() + fullscore::kDotRadius;
    }
    return ys;
}

fullscore::NotesInput inputWith(const QStringList& small, const QStringList& middle, const QStringList& big,
                                int page = 0) {
    fullscore::NotesInput input;
    input.scores = {small, middle, big};
    input.page = page;
    input.sizes = {QSize(100, 644), QSize(100, 644), QSize(100, 644)};
    input.bellCounts = {4, 4, 4};
    return input;
}

} // namespace

TEST(FullScoreGrid, LanesAtFractionsOfTheWidthAndThreeBarLines) {
    const std::vector<ScorePrimitive> grid = fullscore::gridOf(QSize(100, 400), 4);
    ASSERT_EQ(grid.size(), 1u + 4 + 3);
    EXPECT_EQ(grid[0].colour, ScoreColourRole::Face);
    EXPECT_EQ(grid[0].box(), QRect(0, 0, 100, 400));
    // Four bells: lanes at 1/5 .. 4/5, from y 2 to H - 4, in black.
    EXPECT_EQ(xsOf(grid, 1, 4), (QList<int>{20, 40, 60, 80}));
    EXPECT_EQ(grid[1].b, QPoint(20, 396));
    EXPECT_EQ(grid[1].colour, ScoreColourRole::Staff);
    EXPECT_EQ(grid[5], (ScorePrimitive{ScorePrimitiveKind::Line, QPoint(2, 100), QPoint(96, 100), 1,
                                       ScoreColourRole::Staff}));
    EXPECT_EQ(grid[7].a.y(), 300);
    // Halves round to even: 3 bells in 118 pixels put lanes at 29.5 -> 30, 59, 88.5 -> 88.
    EXPECT_EQ(xsOf(fullscore::gridOf(QSize(118, 400), 3), 1, 3), (QList<int>{30, 59, 88}));
    EXPECT_EQ(fullscore::gridOf(QSize(118, 400), 0).size(), 4u);
}

TEST(FullScoreNotes, BellOneIsLeftForBigAndRightForMiddleAndSmall) {
    const fullscore::Notes notes = fullscore::notesOf(inputWith({"s1,s4"}, {"m1"}, {"b1,b4"}));
    EXPECT_FALSE(notes.stopped);
    EXPECT_EQ(xsOf(notes.dots[2]), (QList<int>{20, 80}));
    EXPECT_EQ(xsOf(notes.dots[1]), (QList<int>{80}));
    EXPECT_EQ(xsOf(notes.dots[0]), (QList<int>{80, 20}));
}

TEST(FullScoreNotes, RowsGrowDownTheImageWithTheBarShift) {
    // Row step (644 - 4) / 64 = 10; Y = Round(shift(place) + 2 + 10 * k + 4).
    QStringList big(17);
    big[0] = "b1";  // place 1: shift 4.2 -> 10.2 -> 10
    big[8] = "b1";  // place 9: shift 0 -> 86
    big[15] = "b1"; // place 16: shift -4.2 -> 151.8 -> 152
    big[16] = "b1"; // the next bar starts at place 1 again: 4.2 + 166 -> 170.2 -> 170
    const fullscore::Notes notes = fullscore::notesOf(inputWith({}, {}, big));
    EXPECT_EQ(ysOf(notes.dots[2]), (QList<int>{10, 86, 152, 170}));
}

TEST(FullScoreNotes, OnlyThePagesColumnsAndTwoCharacterTokensDraw) {
    QStringList big(130, QStringLiteral("b2"));
    big[64] = "b1,b12,b,x1,#2";
    const fullscore::Notes notes = fullscore::notesOf(inputWith({}, {}, big, 1));
    // Columns 64..127 only; "b12", "b" and the other letters draw nothing.
    EXPECT_EQ(notes.dots[2].size(), 64u);
    EXPECT_EQ(notes.dots[2].front().box(), QRect(15, 5, 10, 10));
    // A page past the end draws no dots.
    EXPECT_TRUE(fullscore::notesOf(inputWith({}, {}, big, 3)).dots[2].empty());
}

// Positions the group does not have (0 and beyond its four bells) have no
// lane: no dot on the image's edge or outside it, and the page goes on.
TEST(FullScoreNotes, PositionsOutsideTheGroupDrawNoDot) {
    const fullscore::Notes notes =
        fullscore::notesOf(inputWith({"s0,s5,s4"}, {"m9", "m1,m0"}, {"b0", "b5,b4", "b1"}));
    EXPECT_FALSE(notes.stopped);
    EXPECT_EQ(xsOf(notes.dots[0]), (QList<int>{20}));
    EXPECT_EQ(xsOf(notes.dots[1]), (QList<int>{80}));
    EXPECT_EQ(xsOf(notes.dots[2]), (QList<int>{80, 20}));
}

TEST(FullScoreNotes, NonDigitPositionStopsThePagesDotsQuietly) {
    // Small is drawn first, then middle, then big: the bad token in the middle
    // score keeps the small dots and the middle dots before it, and no more.
    const fullscore::Notes notes = fullscore::notesOf(inputWith({"s1", "s2"}, {"m1", "m2,mx", "m3"}, {"b1"}));
    EXPECT_TRUE(notes.stopped);
    EXPECT_EQ(notes.dots[0].size(), 2u);
    EXPECT_EQ(notes.dots[1].size(), 2u);
    EXPECT_TRUE(notes.dots[2].empty());
}

TEST(FullViewLayout, PicturesStackFromTheTopCentred) {
    // Height 630: step 202, offset (202 - 170) / 2 = 16.
    const std::array<int, 4> tops = fullview::frameTops(630);
    EXPECT_EQ(tops[0], 20);
    EXPECT_EQ(tops[1], 4 + 210 + 16);
    EXPECT_EQ(tops[2], 4 + 420 + 16);
    EXPECT_EQ(tops[3], tops[0]);
    // Too small a panel: the offset truncates toward zero.
    EXPECT_EQ(fullview::frameTops(200)[0], 4 + (59 - 170) / 2);
    EXPECT_EQ(fullview::frameLeft(500), 68);
    EXPECT_EQ(fullview::frameLeft(363), 0);
}

TEST(FullViewLayout, ToolRowGivesTheCommonListTheRest) {
    const fullview::ToolRow row = fullview::toolRow(640, 296, 129, 432);
    EXPECT_EQ(row.commonWidth, 169);
    EXPECT_EQ(row.usualViewLeft, 609);
    EXPECT_EQ(fullview::toolRow(400, 296, 129, 432).commonWidth, 0);
    EXPECT_EQ(fullview::titleTop(300, 121), 89);
}

// The readable cursor frames the row of the column's dots: it agrees with
// notesOf on every column of a page at heights that round differently, and
// its outline never touches a dot of that row.
TEST(FullScoreCursor, ReadableBarFramesTheDotsWithoutCoveringThem) {
    for (int height : {644, 700, 1013, 333}) {
        QStringList column(64, QString());
        for (int c = 0; c < 64; ++c) {
            column[c] = QStringLiteral("b1");
        }
        fullscore::NotesInput input = inputWith({}, {}, column);
        input.sizes = {QSize(100, height), QSize(100, height), QSize(100, height)};
        const std::vector<ScorePrimitive> dots = fullscore::notesOf(input).dots[2];
        ASSERT_EQ(dots.size(), 64u);
        for (int c = 0; c < 64; ++c) {
            SCOPED_TRACE(height * 100 + c);
            const QRect dot = dots[static_cast<std::size_t>(c)].box();
            EXPECT_EQ(fullscore::dotCentreY(c + 128, height), dot.center().y() + 1); // a later page's column
            const QRect bar = fullscore::readableCursorBox(c, QSize(100, height), 2);
            const QRect inside = bar.adjusted(2, 2, -2, -2);
            EXPECT_TRUE(inside.contains(dot)); // the outline lies beside the dots
            EXPECT_FALSE(QRect(bar.left(), bar.top(), bar.width(), 2).intersects(dot));
            EXPECT_FALSE(QRect(bar.left(), bar.bottom() - 1, bar.width(), 2).intersects(dot));
        }
    }
    // Before the first column the frame stands above the page's first row.
    EXPECT_LT(fullscore::readableCursorBox(-1, QSize(100, 644), 2).bottom(),
              fullscore::readableCursorBox(0, QSize(100, 644), 2).top());
}

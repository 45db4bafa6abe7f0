// The figures by bell and the errors laid out in time, on a synthetic run
// whose offsets per bell are known.

#include "practice/BellFigures.h"

#include <gtest/gtest.h>

namespace {

constexpr int kRate = 48000;
constexpr std::int64_t kColumn = 4800; // 100 ms

StrikeOutcome hit(int bell, int column, int pass, std::int64_t frame, double errorMs) {
    StrikeOutcome o;
    o.kind = StrikeOutcome::Kind::Hit;
    o.bell = bell;
    o.column = column;
    o.pass = pass;
    o.expectedFrame = frame;
    o.keyFrame = frame + static_cast<std::int64_t>(errorMs * kRate / 1000);
    o.errorMs = errorMs;
    return o;
}

StrikeOutcome of(StrikeOutcome::Kind kind, int bell, int column, std::int64_t frame) {
    StrikeOutcome o = hit(bell, column, 0, frame, 0.0);
    o.kind = kind;
    return o;
}

} // namespace

TEST(BellFigures, EachBellKeepsItsOwnMeanSpreadAndShare) {
    // Bell 3 drags: 30 and 40 ms late in turn. Bell 5 rushes: 10 ms early,
    // one strike missed and one extra.
    QList<StrikeOutcome> run;
    for (int i = 0; i < 8; ++i) {
        run << hit(3, i * 2, 0, i * 2 * kColumn, i % 2 == 0 ? 30.0 : 40.0);
        run << hit(5, i * 2 + 1, 0, (i * 2 + 1) * kColumn, -10.0);
    }
    run << of(StrikeOutcome::Kind::Missed, 5, 17, 17 * kColumn);
    run << of(StrikeOutcome::Kind::Extra, 5, 17, 0);

    const QList<BellFigures> figures = figuresByBell(run);
    ASSERT_EQ(figures.size(), 2);
    EXPECT_EQ(figures[0].bell, 3);
    EXPECT_DOUBLE_EQ(figures[0].meanMs, 35.0);
    EXPECT_DOUBLE_EQ(figures[0].deviationMs, 5.0);
    EXPECT_DOUBLE_EQ(figures[0].shareOnTime, 0.0);
    EXPECT_EQ(figures[1].bell, 5);
    EXPECT_DOUBLE_EQ(figures[1].meanMs, -10.0);
    EXPECT_DOUBLE_EQ(figures[1].deviationMs, 0.0);
    // A miss is an expected strike not on time.
    EXPECT_DOUBLE_EQ(figures[1].shareOnTime, 8.0 / 9.0);
    EXPECT_EQ(figures[1].misses, 1);
    EXPECT_EQ(figures[1].extras, 1);

    // A bell that was only missed has no mean, and no share.
    const QList<BellFigures> missed = figuresByBell({of(StrikeOutcome::Kind::Missed, 7, 0, 0)});
    ASSERT_EQ(missed.size(), 1);
    EXPECT_EQ(missed[0].hits, 0);
    EXPECT_DOUBLE_EQ(missed[0].shareOnTime, 0.0);
    EXPECT_TRUE(figuresByBell({}).isEmpty());
}

TEST(BellFigures, TimelinePlacesStrikesAndBarsOfEachPass) {
    // Two passes over columns 8..40 (bars 1 and 2, 0-based: columns 16 and
    // 32 begin them): the first at 100 ms a column from 1 s on, the second
    // faster, at 80 ms, after a gap. Bell 2 strikes every fourth column.
    const std::int64_t start = kRate;
    const std::int64_t fast = kColumn * 8 / 10;
    const std::int64_t second = start + 60 * kColumn;
    QList<StrikeOutcome> run;
    for (int column = 8; column <= 40; column += 4) {
        run << hit(2, column, 0, start + (column - 8) * kColumn, 5.0);
    }
    for (int column = 8; column <= 40; column += 4) {
        run << hit(2, column, 1, second + (column - 8) * fast, -5.0);
    }
    run << of(StrikeOutcome::Kind::Extra, 2, 12, 0); // no place in time

    const ErrorTimeline timeline = errorTimeline(run, kRate, kColumn);
    ASSERT_EQ(timeline.points.size(), 18);
    EXPECT_DOUBLE_EQ(timeline.points.first().seconds, 0.0);
    EXPECT_DOUBLE_EQ(timeline.points[1].seconds, 0.4);
    EXPECT_DOUBLE_EQ(timeline.points[9].seconds, 6.0);
    EXPECT_DOUBLE_EQ(timeline.points[9].errorMs, -5.0);

    // Bars 0, 1, 2 of each pass; bar 0 began before the first strike due.
    ASSERT_EQ(timeline.bars.size(), 6);
    const double expected[][2] = {{0, -0.8}, {1, 0.8}, {2, 2.4}, {0, 6.0 - 0.64}, {1, 6.64}, {2, 7.92}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(timeline.bars[i].bar, static_cast<int>(expected[i][0])) << i;
        EXPECT_NEAR(timeline.bars[i].seconds, expected[i][1], 1e-9) << i;
    }
}

TEST(BellFigures, RunningMeanShowsADriftLate) {
    // On time for eight strikes, then 40 ms late: the mean climbs to 40
    // over a window's length, and the other bell's strikes do not count.
    QList<ErrorPoint> points;
    for (int i = 0; i < 16; ++i) {
        points << ErrorPoint{i * 0.5, i < 8 ? 0.0 : 40.0, 1, false};
        points << ErrorPoint{i * 0.5 + 0.1, -30.0, 2, false};
    }
    points << ErrorPoint{8.0, 0.0, 1, true}; // a miss has no error to average
    const QList<double> means = runningMean(points, 1, 4);
    ASSERT_EQ(means.size(), 16);
    EXPECT_DOUBLE_EQ(means[7], 0.0);
    EXPECT_DOUBLE_EQ(means[8], 10.0);
    EXPECT_DOUBLE_EQ(means[10], 30.0);
    EXPECT_DOUBLE_EQ(means[11], 40.0);
    EXPECT_DOUBLE_EQ(means[15], 40.0);
}

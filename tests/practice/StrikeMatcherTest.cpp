#include "practice/StrikeMatcher.h"

#include <gtest/gtest.h>

namespace {

// 1 frame = 1 ms, so frames read as milliseconds; columns 100 ms long.
constexpr int kRate = 1000;
constexpr std::int64_t kColumn = 100;

using Kind = StrikeOutcome::Kind;

struct Expect {
    Kind kind;
    int bell;
    int column;
    double errorMs;
};

void expectOutcomes(const QList<StrikeOutcome>& got, const std::vector<Expect>& want) {
    ASSERT_EQ(got.size(), static_cast<qsizetype>(want.size()));
    for (size_t i = 0; i < want.size(); ++i) {
        const StrikeOutcome& o = got[static_cast<qsizetype>(i)];
        EXPECT_EQ(o.kind, want[i].kind) << i;
        EXPECT_EQ(o.bell, want[i].bell) << i;
        EXPECT_EQ(o.column, want[i].column) << i;
        if (want[i].kind == Kind::Hit) {
            EXPECT_DOUBLE_EQ(o.errorMs, want[i].errorMs) << i;
        }
    }
}

// A score of `columns` columns from frame 1000, bell 3 in every even column.
StrikeMatcher evenColumns(int columns) {
    StrikeMatcher matcher(kRate);
    for (int c = 0; c < columns; ++c) {
        matcher.addColumn(c, 0, 1000 + c * kColumn, kColumn, c % 2 == 0 ? QList<int>{3} : QList<int>{});
    }
    return matcher;
}

} // namespace

TEST(StrikeMatcher, SingleStrikeStreams) {
    struct Case {
        const char* what;
        std::vector<std::int64_t> keys;
        std::vector<Expect> outcomes;
    };
    const Case cases[] = {
        // Exact, early and late strikes keep their sign.
        {"exact", {1000, 1200}, {{Kind::Hit, 3, 0, 0}, {Kind::Hit, 3, 2, 0}}},
        {"early", {985, 1170}, {{Kind::Hit, 3, 0, -15}, {Kind::Hit, 3, 2, -30}}},
        {"late", {1049, 1212}, {{Kind::Hit, 3, 0, 49}, {Kind::Hit, 3, 2, 12}}},
        // No key: both expected strikes are missed.
        {"missed", {}, {{Kind::Missed, 3, 0, 0}, {Kind::Missed, 3, 2, 0}}},
        // Half a column away is too far: a miss and an extra, never a hit
        // (the extra goes to the earlier of two equally near columns).
        {"half a column",
         {1050, 1200},
         {{Kind::Missed, 3, 0, 0}, {Kind::Extra, 3, 0, 0}, {Kind::Hit, 3, 2, 0}}},
        // Two keys for one strike: the nearer hits, the other is an extra.
        {"double", {1030, 1005, 1200}, {{Kind::Hit, 3, 0, 5}, {Kind::Extra, 3, 0, 0}, {Kind::Hit, 3, 2, 0}}},
        // A key in an empty stretch is an extra at the column nearest to it.
        {"extra between",
         {1000, 1100, 1200},
         {{Kind::Hit, 3, 0, 0}, {Kind::Extra, 3, 1, 0}, {Kind::Hit, 3, 2, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StrikeMatcher matcher = evenColumns(3);
        for (std::int64_t key : c.keys) {
            matcher.addKey(3, key);
        }
        expectOutcomes(matcher.finish(2000), c.outcomes);
    }
}

TEST(StrikeMatcher, TwoBellsInOneColumnMatchByBell) {
    // Catches matching by time alone: the keys of bells 3 and 7 come in the
    // opposite order to their nearness, and bell 7's key is no use for bell 3.
    StrikeMatcher matcher(kRate);
    matcher.addColumn(0, 0, 1000, kColumn, {3, 7});
    matcher.addKey(7, 990);
    matcher.addKey(3, 1020);
    matcher.addKey(7, 1040);
    const QList<StrikeOutcome> out = matcher.finish(2000);
    int hits3 = 0, hits7 = 0, extras7 = 0;
    for (const StrikeOutcome& o : out) {
        if (o.kind == Kind::Hit && o.bell == 3) {
            ++hits3;
            EXPECT_DOUBLE_EQ(o.errorMs, 20);
        }
        if (o.kind == Kind::Hit && o.bell == 7) {
            ++hits7;
            EXPECT_DOUBLE_EQ(o.errorMs, -10);
        }
        extras7 += o.kind == Kind::Extra && o.bell == 7 ? 1 : 0;
    }
    EXPECT_EQ(hits3, 1);
    EXPECT_EQ(hits7, 1);
    EXPECT_EQ(extras7, 1);
    EXPECT_EQ(out.size(), 3);
}

TEST(StrikeMatcher, FramesNotColumnsAcrossPageAndLoopWrap) {
    // Column 63 then 64 (a new page), then the loop wraps to column 0 with
    // the grid running on. A late strike for 63 and an early one for the
    // wrapped column 0 both belong to their own column.
    StrikeMatcher matcher(kRate);
    matcher.addColumn(63, 0, 1000, kColumn, {3});
    matcher.addColumn(64, 0, 1100, kColumn, {3});
    matcher.addColumn(0, 1, 1200, kColumn, {3});
    matcher.addKey(3, 1040); // 63, late
    matcher.addKey(3, 1095); // 64, early
    matcher.addKey(3, 1170); // 0 of the second pass, early
    const QList<StrikeOutcome> out = matcher.finish(2000);
    expectOutcomes(out, {{Kind::Hit, 3, 63, 40}, {Kind::Hit, 3, 64, -5}, {Kind::Hit, 3, 0, -30}});
    EXPECT_EQ(out[2].pass, 1);
}

TEST(StrikeMatcher, SettleGivesOnlyFinalOutcomes) {
    StrikeMatcher matcher = evenColumns(5);
    matcher.addKey(3, 1010);
    // The strike at 1000 may still be claimed by a nearer key until 1050.
    EXPECT_TRUE(matcher.settle(1040).isEmpty());
    // A nearer key arrives late: it must win although the first came first.
    matcher.addKey(3, 1002);
    QList<StrikeOutcome> out = matcher.settle(1100);
    expectOutcomes(out, {{Kind::Hit, 3, 0, 2}, {Kind::Extra, 3, 0, 0}});
    // Settling is incremental: the next strike comes out once, then nothing left.
    matcher.addKey(3, 1190);
    expectOutcomes(matcher.settle(1260), {{Kind::Hit, 3, 2, -10}});
    expectOutcomes(matcher.settle(1260), {});
    // At the end the strike at 1400 was never due: not counted as missed.
    expectOutcomes(matcher.finish(1350), {});
    EXPECT_EQ(matcher.pendingExpected(), 0);
    EXPECT_EQ(matcher.pendingKeys(), 0);
}

TEST(StrikeMatcher, EarlyKeyAtTheEndStillCounts) {
    // A strike rung before the end for a column due just after it is a hit.
    StrikeMatcher matcher = evenColumns(3);
    matcher.addKey(3, 1190);
    const QList<StrikeOutcome> out = matcher.finish(1195);
    expectOutcomes(out, {{Kind::Missed, 3, 0, 0}, {Kind::Hit, 3, 2, -10}});
}

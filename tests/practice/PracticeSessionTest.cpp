#include "practice/PracticeSession.h"
#include "practice/StrikeMarks.h"

#include <gtest/gtest.h>

namespace {

constexpr int kRate = 1000; // frames read as milliseconds
using Kind = StrikeOutcome::Kind;

StrikeOutcome outcome(Kind kind, int column, int bell, double error = 0) {
    StrikeOutcome o;
    o.kind = kind;
    o.column = column;
    o.bell = bell;
    o.errorMs = error;
    return o;
}

} // namespace

TEST(PracticeSession, LatencyIsTakenOffAndOtherBellsIgnored) {
    // The user's strikes land 40 ms late by habit and device: a key 40 ms
    // after the beat is on time, one 10 ms after it is 30 ms early.
    PracticeSession session({4, 5}, kRate, 40);
    session.columnPlayed(0, 1000, 200, {5, 2});
    session.columnPlayed(1, 1200, 200, {4});
    session.keyRung(5, 1040);
    session.keyRung(4, 1210);
    session.keyRung(2, 1000);                    // not practised: neither a hit nor an extra
    EXPECT_TRUE(session.settle(1250).isEmpty()); // keys may still be on their way
    const QList<StrikeOutcome> out = session.finish(5000);
    ASSERT_EQ(out.size(), 2);
    EXPECT_EQ(out[0].kind, Kind::Hit);
    EXPECT_DOUBLE_EQ(out[0].errorMs, 0.0);
    EXPECT_DOUBLE_EQ(out[1].errorMs, -30.0);
    EXPECT_EQ(session.outcomes().size(), 2);
}

TEST(PracticeSession, NothingSettlesBeyondTheColumnsPlayed) {
    // The window was busy: the clock ran on, the sequencer had not yet handed
    // over column 1. A key rung for it must wait for it, not turn extra.
    PracticeSession session({3}, kRate, 0);
    EXPECT_TRUE(session.settle(5000).isEmpty()); // nothing played yet
    session.columnPlayed(0, 1000, 100, {3});
    session.keyRung(3, 1000);
    session.keyRung(3, 1095);
    QList<StrikeOutcome> out = session.settle(5000);
    ASSERT_EQ(out.size(), 1);
    EXPECT_EQ(out[0].kind, Kind::Hit);
    session.columnPlayed(1, 1100, 100, {3});
    out = session.settle(5000);
    ASSERT_EQ(out.size(), 1);
    EXPECT_EQ(out[0].kind, Kind::Hit);
    EXPECT_DOUBLE_EQ(out[0].errorMs, -5.0);
}

TEST(PracticeSession, PassesAndLatestMarks) {
    // A two-column loop played twice: the marks show the second pass only,
    // the outcomes keep both.
    PracticeSession session({3}, kRate, 0);
    session.columnPlayed(0, 1000, 100, {3});
    session.columnPlayed(1, 1100, 100, {3});
    session.keyRung(3, 1000);
    session.keyRung(3, 1150); // an extra in the first pass
    session.columnPlayed(0, 1200, 100, {3});
    EXPECT_EQ(session.pass(), 1);
    session.columnPlayed(1, 1300, 100, {3});
    session.keyRung(3, 1310);
    session.finish(2000);
    EXPECT_EQ(session.outcomes().size(), 5);
    EXPECT_EQ(session.outcomesOfPass(0).size(), 3);
    const QList<StrikeOutcome> marks = session.latestMarks();
    ASSERT_EQ(marks.size(), 2);
    EXPECT_EQ(marks[0].kind, Kind::Missed); // column 0, second pass
    EXPECT_EQ(marks[0].pass, 1);
    EXPECT_EQ(marks[1].kind, Kind::Hit);
    EXPECT_DOUBLE_EQ(marks[1].errorMs, 10.0);
}

TEST(StrikeMarks, MarksSitOnTheHeadsOfTheLayout) {
    // Heads as the score layout places them: column 0 has bells 5 and 4 (a
    // chord), column 2 bell 5, column 3 bell 9 of another part.
    const QList<MarkHead> heads = {{0, 10, 40, 5}, {0, 10, 52, 4}, {2, 31, 40, 5}, {3, 42, 16, 9}};
    const QList<StrikeOutcome> outcomes = {
        outcome(Kind::Hit, 0, 4, -12), // green, early tick, on the lower head of the chord
        outcome(Kind::Hit, 0, 5, 35),  // amber, late
        outcome(Kind::Hit, 2, 5, 0.4), // green, no tick
        outcome(Kind::Missed, 3, 9),   // on its head
        outcome(Kind::Hit, 40, 5, 80), // its head is not on this page: no mark
        outcome(Kind::Extra, 1, 4),    // between heads: column x, row of bell 4
        outcome(Kind::Extra, 5, 7),    // a bell with no head on the page: fallback row
    };
    const QList<StrikeMark> marks = placeMarks(
        heads, outcomes, [](int column) { return 100 + column; }, 99);
    ASSERT_EQ(marks.size(), 6);
    struct Want {
        StrikeMark::Kind kind;
        int x, y, tick;
    };
    const Want want[] = {
        {StrikeMark::Kind::OnTime, 10, 52, -1}, {StrikeMark::Kind::Nearly, 10, 40, 1},
        {StrikeMark::Kind::OnTime, 31, 40, 0},  {StrikeMark::Kind::Missed, 42, 16, 0},
        {StrikeMark::Kind::Extra, 101, 52, 0},  {StrikeMark::Kind::Extra, 105, 99, 0},
    };
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(marks[i].kind, want[i].kind);
        EXPECT_EQ(marks[i].x, want[i].x);
        EXPECT_EQ(marks[i].y, want[i].y);
        EXPECT_EQ(marks[i].tick, want[i].tick);
    }
}

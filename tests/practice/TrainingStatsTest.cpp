#include "practice/TrainingStats.h"
#include "practice/HardBarsDrill.h"

#include <gtest/gtest.h>

namespace {

StrikeOutcome hit(int column, double error) {
    StrikeOutcome o;
    o.kind = StrikeOutcome::Kind::Hit;
    o.column = column;
    o.errorMs = error;
    return o;
}

StrikeOutcome of(StrikeOutcome::Kind kind, int column) {
    StrikeOutcome o;
    o.kind = kind;
    o.column = column;
    return o;
}

} // namespace

TEST(TrainingStats, FiguresOfARun) {
    const QList<StrikeOutcome> run = {
        hit(0, -20),
        hit(4, 20),
        hit(8, 20),
        hit(12, -20),                        // bar 0: mean 0, sd 20
        of(StrikeOutcome::Kind::Missed, 16), // bar 1: a miss
        of(StrikeOutcome::Kind::Extra, 18),
    };
    const TrainingStats stats = computeStats(run);
    EXPECT_EQ(stats.hits, 4);
    EXPECT_EQ(stats.misses, 1);
    EXPECT_EQ(stats.extras, 1);
    EXPECT_DOUBLE_EQ(stats.meanMs, 0.0);
    EXPECT_DOUBLE_EQ(stats.deviationMs, 20.0);
    EXPECT_DOUBLE_EQ(stats.meanAbsoluteMs, 20.0);
    // Four of five expected strikes within 20 ms: the miss counts against it.
    EXPECT_DOUBLE_EQ(stats.shareOnTime, 0.8);
    EXPECT_EQ(stats.histogram[static_cast<size_t>(histogramBin(-20))], 2);
    EXPECT_EQ(stats.histogram[static_cast<size_t>(histogramBin(20))], 2);
    // Bar 1 (miss and extra: 200 ms over one strike) is worse than bar 0 (20 ms).
    EXPECT_EQ(stats.worstBars, (QList<int>{1}));
}

TEST(TrainingStats, EmptyRunHasNoFigures) {
    const TrainingStats stats = computeStats({});
    EXPECT_EQ(stats.expected(), 0);
    EXPECT_DOUBLE_EQ(stats.shareOnTime, 0.0);
    EXPECT_TRUE(stats.worstBars.isEmpty());
}

TEST(TrainingStats, BinsAndGrades) {
    struct Case {
        double error;
        int bin;
        int grade;
    };
    const Case cases[] = {
        {-500, 0, 2},  // far early falls into the first bin
        {-100, 0, 2},  // the first bin's lower edge
        {-20, 8, 0},   // 20 ms is still on time
        {-20.5, 7, 1}, // just beyond is amber
        {0, 10, 0},    // zero is the first bin of the late half
        {50, 15, 1},   // 50 ms is still amber
        {50.1, 15, 2}, // beyond is red
        {99.9, 19, 2}, // the last bin
        {700, 19, 2},  // far late falls into the last bin
    };
    for (const Case& c : cases) {
        EXPECT_EQ(histogramBin(c.error), c.bin) << c.error;
        EXPECT_EQ(errorGrade(c.error), c.grade) << c.error;
    }
}

TEST(TrainingStats, TwoWorstBarsInOrder) {
    QList<StrikeOutcome> run;
    const double barErrors[] = {5, 60, 30, 60, 45};
    for (int bar = 0; bar < 5; ++bar) {
        run << hit(bar * 16, barErrors[bar]) << hit(bar * 16 + 8, -barErrors[bar]);
    }
    // Equal errors keep the earlier bar first; good bars never count.
    EXPECT_EQ(computeStats(run).worstBars, (QList<int>{1, 3}));
    EXPECT_DOUBLE_EQ(barError(run, 4), 45.0);
}

// Only bars where the part had strikes to ring can be hard, and an error
// spread evenly over the bars picks none out: the bars are said to be alike.
TEST(TrainingStats, HardBarsStandOutAmongBarsWithStrikes) {
    const auto bars = [](std::initializer_list<double> errors) {
        QList<StrikeOutcome> run;
        int bar = 0;
        for (double error : errors) {
            run << hit(bar * 16, error) << hit(bar * 16 + 8, error);
            ++bar;
        }
        return run;
    };
    struct Case {
        const char* what;
        QList<StrikeOutcome> run;
        QList<int> worst;
        bool alike;
    };
    const Case cases[] = {
        {"stray strikes alone make no bar to drill",
         {hit(0, 30), of(StrikeOutcome::Kind::Extra, 20), of(StrikeOutcome::Kind::Extra, 24)},
         {0},
         false},
        {"an even offset picks out no bar", bars({40, 40, 40, 40}), {}, true},
        {"nearly even is even", bars({36, 44, 40}), {}, true},
        {"half missed in every bar: misses make bars hard, the first two of equal ones",
         {of(StrikeOutcome::Kind::Missed, 0), hit(4, 0), of(StrikeOutcome::Kind::Missed, 16), hit(20, 0),
          of(StrikeOutcome::Kind::Missed, 32), hit(36, 0)},
         {0, 1},
         false},
        {"not a single hit",
         {of(StrikeOutcome::Kind::Missed, 0), of(StrikeOutcome::Kind::Missed, 16),
          of(StrikeOutcome::Kind::Missed, 32)},
         {0, 1},
         false},
        {"an extra in every bar, hits on time",
         {hit(0, 0), of(StrikeOutcome::Kind::Extra, 2), hit(16, 0), of(StrikeOutcome::Kind::Extra, 18)},
         {0, 1},
         false},
        {"an even offset with one miss picks the bar of the miss",
         {hit(0, 40), hit(8, 40), hit(16, 40), of(StrikeOutcome::Kind::Missed, 24), hit(32, 40), hit(40, 40)},
         {1, 0},
         false},
        {"all on time: nothing to say", bars({5, 5, 5}), {}, false},
        {"a single bar is drilled when it is wrong", bars({40}), {0}, false},
        {"one bar standing out", bars({40, 40, 55, 40}), {2, 0}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TrainingStats stats = computeStats(c.run);
        EXPECT_EQ(stats.worstBars, c.worst);
        EXPECT_EQ(stats.barsAlike, c.alike);
    }
    EXPECT_DOUBLE_EQ(computeStats(bars({36, 44, 40})).barErrorMs, 40.0);
}

TEST(HardBarsDrill, ProgressionBackToFullTempo) {
    HardBarsDrill drill({3, 1}, 200);
    EXPECT_EQ(drill.tempoPercent(), 80);
    EXPECT_EQ(drill.interval(), 250); // 80 % tempo: a longer column
    EXPECT_EQ(drill.passEnded(40), HardBarsDrill::Step::Again);
    EXPECT_EQ(drill.interval(), 250);
    const int percents[] = {85, 90, 95, 100};
    for (int percent : percents) {
        EXPECT_EQ(drill.passEnded(10), HardBarsDrill::Step::Faster);
        EXPECT_EQ(drill.tempoPercent(), percent);
    }
    EXPECT_EQ(drill.passEnded(30), HardBarsDrill::Step::Again); // not good enough at full tempo
    EXPECT_EQ(drill.passEnded(25), HardBarsDrill::Step::Done);
    EXPECT_TRUE(drill.isDone());
    EXPECT_EQ(drill.interval(), 200);
}

TEST(HardBarsDrill, ColumnsOfTheBars) {
    // Bar order is kept; a bar cut off by the end of the score gives what exists.
    const QList<int> columns = HardBarsDrill::drillColumns({2, 0}, 40);
    ASSERT_EQ(columns.size(), 8 + 16);
    EXPECT_EQ(columns.first(), 32);
    EXPECT_EQ(columns[7], 39);
    EXPECT_EQ(columns[8], 0);
    EXPECT_EQ(HardBarsDrill::drillLines({"a", "b"}, {1, 5}), (QStringList{"b", ""}));
}

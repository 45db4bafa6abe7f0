#include "practice/ProgressSeries.h"

#include <gtest/gtest.h>

namespace {

TrainingRun runOf(const char* part, int interval, int day, int hour) {
    TrainingRun run;
    run.date = QDateTime(QDate(2026, 12, day), QTime(hour, 0));
    run.ringing = QStringLiteral("Звон");
    run.part = QString::fromLatin1(part);
    run.interval = interval;
    return run;
}

} // namespace

// Each part at each tempo is a line of its own; the lines practised last are
// kept at the limit, the line of the last run first.
TEST(ProgressSeries, OneLinePerPartAndTempo) {
    const QList<TrainingRun> runs = {
        runOf("s", 144, 1, 10), runOf("m", 144, 1, 11),  runOf("s", 120, 1, 12),
        runOf("s", 144, 2, 9),  runOf("k3", 144, 2, 10), runOf("b", 144, 3, 9),
    };
    const QList<ProgressSeries> lines = progressSeries(runs, 4);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0].part, "b");
    EXPECT_EQ(lines[0].runs, (QList<int>{5}));
    EXPECT_EQ(lines[1].part, "k3");
    EXPECT_EQ(lines[2].part, "s");
    EXPECT_EQ(lines[2].interval, 144);
    EXPECT_EQ(lines[2].runs, (QList<int>{0, 3})); // oldest first
    EXPECT_EQ(lines[3].interval, 120);            // "m" was practised longest ago
    EXPECT_EQ(lines[2].caption(), QStringLiteral("Малые колокола, темп: 906"));
    EXPECT_EQ(lines[1].caption(), QStringLiteral("Колокол 3, темп: 906"));
    EXPECT_TRUE(progressSeries({}, 4).isEmpty());

    EXPECT_TRUE(runsShareADay(runs));
    EXPECT_FALSE(runsShareADay({runs[0], runs[3], runs[5]}));
}

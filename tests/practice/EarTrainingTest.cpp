#include "practice/EarTraining.h"
#include "practice/EarHistory.h"
#include "support/TestProgram.h"

#include "FakePracticeHost.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace {

class EarTrainingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureQtApplication();
        // Big 1, 2; small 4, 5.
        host.bells.applyText(QStringLiteral("011011000000000"), QStringLiteral("nbbnssnnnnnnnnn"));
    }

    QTemporaryDir m_dir;
    FakePracticeHost host{m_dir.filePath(QStringLiteral("campanix.ini"))};
};

} // namespace

// What is handed to the engine is the grid with one strike moved by exactly
// the offset in frames, for offsets that are and are not whole frames.
TEST_F(EarTrainingTest, PlayedFramesCarryTheOffsetExactly) {
    EarTraining training(host, 7);
    ASSERT_TRUE(training.ready());
    EXPECT_FALSE(training.fromRinging()); // nothing loaded: a generated passage
    for (double amount : {1.0, 2.7, 40.0, 123.4}) {
        training.staircase() = Staircase(amount);
        host.sounded.clear();
        const EarTrial trial = training.playTrial();
        ASSERT_GE(trial.oddIndex, 0);
        ASSERT_EQ(host.sounded.size(), static_cast<size_t>(trial.strikes.size()));
        const std::int64_t frames = std::llround(amount * FakePracticeHost::kRate / 1000.0);
        EXPECT_EQ(std::abs(trial.offsetFrames), frames);
        EXPECT_DOUBLE_EQ(std::abs(trial.offsetMs), frames * 1000.0 / FakePracticeHost::kRate);
        // The grid: the first strike a lead and a start after the clock, then a column each interval.
        const std::int64_t start =
            host.frame + host.lead + EarTraining::kStartLeadMs * FakePracticeHost::kRate / 1000;
        const EarTrial grid =
            EarTraining::makeTrial(EarTraining::generatedColumns(training.bells()), start,
                                   training.intervalMs(), FakePracticeHost::kRate, -1, 0, false);
        ASSERT_EQ(grid.strikes.size(), trial.strikes.size());
        for (qsizetype i = 0; i < grid.strikes.size(); ++i) {
            const std::int64_t expected =
                grid.strikes[i].frame + (i == trial.oddIndex ? trial.offsetFrames : 0);
            EXPECT_EQ(host.sounded[static_cast<size_t>(i)].second, expected) << "strike " << i;
            EXPECT_EQ(host.sounded[static_cast<size_t>(i)].first, grid.strikes[i].bell);
        }
        // The odd strike is in the second half, so the first sets the beat.
        EXPECT_GE(trial.oddIndex, trial.strikes.size() / 2);
        // Played again later, it moves whole: the offset stays.
        host.frame += 500000;
        host.sounded.clear();
        training.replay();
        EXPECT_EQ(host.sounded[static_cast<size_t>(trial.oddIndex)].second -
                      host.sounded[static_cast<size_t>(trial.oddIndex) - 1].second,
                  trial.strikes[trial.oddIndex].frame - trial.strikes[trial.oddIndex - 1].frame);
    }
}

TEST_F(EarTrainingTest, LoadedRingingGivesTwoBarsAndAnswersMoveTheStaircaseOnce) {
    QStringList score;
    for (int c = 0; c < 64; ++c) {
        score << (c % 2 ? QStringLiteral("s1") : QStringLiteral("b1,s2"));
    }
    host.channels().common() = score;
    EarTraining training(host, 3);
    EXPECT_TRUE(training.fromRinging());
    const EarTrial trial = training.playTrial();
    EXPECT_EQ(trial.strikes.size(), 48); // two bars of 16 columns, 1.5 strikes each
    const double before = training.staircase().amountMs();
    EXPECT_FALSE(training.answer(trial.bell, !trial.late));
    EXPECT_TRUE(training.answer(trial.bell, trial.late)); // a second answer does not count
    EXPECT_EQ(training.staircase().trials(), 1);
    EXPECT_GT(training.staircase().amountMs(), before);
}

// The history is appended; a torn last line is skipped and the next result still stands.
TEST(EarHistory, AppendsAndSkipsATornLine) {
    QTemporaryDir dir;
    EarHistory history(dir.filePath(QStringLiteral("ear.txt")));
    const QDateTime when(QDate(2026, 12, 1), QTime(10, 0));
    ASSERT_TRUE(history.append({when, 20.0, 30}));
    QFile file(dir.filePath(QStringLiteral("ear.txt")));
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("2026-12-02T10:00:00\t15.0");
    file.close();
    EXPECT_EQ(history.last(10).size(), 1);
    ASSERT_TRUE(history.append({when.addDays(2), 10.0, 28}));
    const QList<EarResult> results = history.last(10);
    ASSERT_EQ(results.size(), 2);
    EXPECT_DOUBLE_EQ(results.last().thresholdMs, 10.0);
    EXPECT_TRUE(earTrendText(results).contains(QStringLiteral("тоньше")));
}

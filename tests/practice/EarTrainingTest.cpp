#include "practice/EarTraining.h"
#include "practice/EarHistory.h"
#include "support/TestProgram.h"

#include "FakePracticeHost.h"

#include <QDir>
#include <QFile>
#include <QMap>
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
        host.played.clear();
        const EarTrial trial = training.playTrial();
        ASSERT_GE(trial.oddIndex, 0);
        ASSERT_EQ(host.played.size(), static_cast<size_t>(trial.strikes.size()));
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
            EXPECT_EQ(host.played[static_cast<size_t>(i)].second, expected) << "strike " << i;
            EXPECT_EQ(host.played[static_cast<size_t>(i)].first, grid.strikes[i].bell);
        }
        // The odd strike is in the second half, so the first sets the beat.
        EXPECT_GE(trial.oddIndex, trial.strikes.size() / 2);
        // Played again later, it moves whole: the offset stays.
        host.frame += 500000;
        host.played.clear();
        training.replay();
        EXPECT_EQ(host.played[static_cast<size_t>(trial.oddIndex)].second -
                      host.played[static_cast<size_t>(trial.oddIndex) - 1].second,
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

// On a real ringing most bells share their columns: the question picks the
// bell first, so that every bell of the passage is asked about in turn,
// and then one of its strikes (never the very first, which sets the beat).
TEST_F(EarTrainingTest, EveryBellOfTheRingingIsAskedAbout) {
    QStringList score;
    for (int c = 0; c < 64; ++c) {
        // The big bell alone on the beats, the two small ones together between them.
        score << (c % 4 == 0 ? QStringLiteral("b1") : c % 4 == 2 ? QStringLiteral("s1,s2") : QString());
    }
    host.channels().common() = score;
    EarTraining training(host, 5);
    ASSERT_TRUE(training.fromRinging());
    const QList<int> bells = training.bells();
    ASSERT_EQ(bells.size(), 3);
    QMap<int, int> asked;
    for (int question = 0; question < 60; ++question) {
        const EarTrial trial = training.playTrial();
        ASSERT_GT(trial.oddIndex, 0);
        EXPECT_EQ(trial.strikes[trial.oddIndex].bell, trial.bell);
        ++asked[trial.bell];
    }
    for (int bell : bells) {
        EXPECT_GE(asked.value(bell), 10) << "bell " << bell;
    }
    // By the picks: the bell, then its strikes alone in the second half first.
    const QList<EarStrike> strikes = {{1, 0}, {4, 100}, {5, 100}, {1, 200}, {4, 300}, {5, 300}, {4, 400}};
    EXPECT_EQ(EarTraining::oddStrikeOf(strikes, 0, 7), 3);   // bell 1: its later strike
    EXPECT_EQ(EarTraining::oddStrikeOf(strikes, 1, 0), 6);   // bell 4: alone at 400
    EXPECT_EQ(EarTraining::oddStrikeOf(strikes, 2, 1), 5);   // bell 5: only in chords, the later one
    EXPECT_EQ(EarTraining::oddStrikeOf({{1, 0}}, 0, 0), -1); // the first strike never moves
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

// A threshold no staircase can find (beyond its ceiling, infinite, not a
// number) is a damaged line, not a figure to print 300 digits of.
TEST(EarHistory, ThresholdsBeyondTheStaircaseAreDamagedLines) {
    struct Case {
        const char* threshold;
        bool read;
    };
    const Case cases[] = {{"0.50", true}, {"200.00", true}, {"200.01", false}, {"1e308", false},
                          {"inf", false}, {"-inf", false},  {"nan", false},    {"0", false}};
    for (const Case& c : cases) {
        EarResult result;
        EXPECT_EQ(
            EarHistory::parseLine(QStringLiteral("2026-12-01T10:00:00\t%1\t30").arg(c.threshold), result),
            c.read)
            << c.threshold;
    }
}

// Only the end of the file is read, however long it is: the results shown
// are the last ones, and the line cut by the start of that end is skipped
// (its rest would read as a result it never was). A history that is there
// but cannot be read says so.
TEST(EarHistory, ReadsABoundedTailAndTellsAnUnreadableFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ear.txt"));
    const QByteArray filler =
        EarHistory::formatLine({QDateTime(QDate(2021, 1, 1), QTime(9, 0)), 99.0, 40}).toUtf8();
    QByteArray bytes;
    while (bytes.size() < 2 * EarHistory::kTailBytes) {
        bytes += filler;
    }
    QByteArray finals;
    for (int i = 1; i <= 3; ++i) {
        finals += EarHistory::formatLine({QDateTime(QDate(2026, 12, i), QTime(9, 0)), 10.0 * i, 30}).toUtf8();
    }
    // The tail starts within this line, just where its rest looks like a result.
    const QByteArray rest("2026-11-30T09:00:00\t5.00\t30\n");
    bytes += QByteArray("2019-01-01T09:00:00\t12\t") + rest;
    const qsizetype pad = EarHistory::kTailBytes - rest.size() - finals.size();
    bytes += '#' + QByteArray(pad - 2, 'x') + '\n' + finals;
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
    file.close();
    EarHistory history(path);
    const QList<EarResult> all = history.last(1'000'000);
    EXPECT_FALSE(history.unreadable());
    ASSERT_EQ(all.size(), 3);
    EXPECT_DOUBLE_EQ(all[0].thresholdMs, 10.0);
    EXPECT_DOUBLE_EQ(all[2].thresholdMs, 30.0);
    EXPECT_EQ(history.last(2).size(), 2);

    const QString folder = dir.filePath(QStringLiteral("folder.txt"));
    ASSERT_TRUE(QDir().mkpath(folder));
    EarHistory unreadable(folder);
    EXPECT_TRUE(unreadable.last(10).isEmpty());
    EXPECT_TRUE(unreadable.unreadable());
    EXPECT_FALSE(unreadable.append({QDateTime::currentDateTime(), 10.0, 30}));
    EarHistory missing(dir.filePath(QStringLiteral("none.txt")));
    EXPECT_TRUE(missing.last(10).isEmpty());
    EXPECT_FALSE(missing.unreadable());
}

// A passage of bars looped by the trainer against a host of the test's own.

#include "playback/ColumnStrikes.h"
#include "practice/KeyEventClock.h"
#include "practice/Trainer.h"
#include "practice/TrainingSetupDialog.h"
#include "practice/TrainingSummaryDialog.h"
#include "support/TestProgram.h"

#include "FakePracticeHost.h"

#include <QTemporaryDir>

#include <functional>

#include <gtest/gtest.h>

namespace {

class PassageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureQtApplication();
        qputenv("XDG_DATA_HOME", m_dir.path().toUtf8());
        // Big 1, 2; small 4, 5.
        host.bells.applyText(QStringLiteral("011011000000000"), QStringLiteral("nbbnssnnnnnnnnn"));
        // Ten bars; the big bells on every beat, the small ones only in bar 5
        // (columns 64..79, the first bar of the second page).
        for (int c = 0; c < 160; ++c) {
            QString line = c % 4 == 0 ? QStringLiteral("b1") : QString();
            if (c >= 64 && c < 80 && c % 2 == 0) {
                line += line.isEmpty() ? QStringLiteral("s1") : QStringLiteral(",s1");
            }
            ringing << line;
        }
        host.channels().common() = ringing;
    }

    // The sequencer plays `columns` from the first, each sounding on the
    // frame the clock shows; the practised bells are rung on their columns'
    // frames (to the millisecond of the key stamps) when `ring`. Then it stops.
    void ringPass(Trainer& trainer, int columns, bool ring,
                  const std::function<void(int)>& beforeColumn = {}) {
        host.playing = true;
        for (int c = 0; c < columns; ++c) {
            if (beforeColumn) {
                beforeColumn(c);
            }
            host.frame += host.interval * FakePracticeHost::kRate / 1000;
            trainer.columnStruck(c, host.frame - host.lead);
            const QList<int> bells =
                ::ColumnSampleFiles(host.commonScoreLine(c), host.ensemble(), StrikeSwitches{}, QString(),
                                    [](int) { return QString(); })
                    .bells;
            for (int bell : bells) {
                if (ring && trainer.silences(bell)) {
                    trainer.keyStruck(bell, KeyEventClock::steadyNowNs() / 1'000'000);
                }
            }
        }
        host.frame += FakePracticeHost::kRate;
        host.playing = false;
        trainer.poll();
    }

    // The sequencer plays `columns` of the passage, then stops.
    void playPass(Trainer& trainer, int columns) {
        host.playing = true;
        for (int c = 0; c < columns; ++c) {
            host.frame += host.interval * FakePracticeHost::kRate / 1000;
            trainer.columnStruck(c, host.frame);
        }
        host.frame += FakePracticeHost::kRate; // the last strikes are settled as misses
        host.playing = false;
        trainer.poll();
    }

    QTemporaryDir m_dir;
    FakePracticeHost host{m_dir.filePath(QStringLiteral("campanix.ini"))};
    QStringList ringing;
};

} // namespace

// Bars 4 and 5 straddle the page boundary: the passage plays their columns
// again and again at the ramp's tempo, keeps the outcomes by the ringing's
// own columns, and puts the ringing and its tempo back when stopped.
TEST_F(PassageTest, LoopsBarsAcrossAPageBoundaryAndPutsTheRingingBack) {
    Trainer trainer(host);
    PracticePlan plan;
    plan.part = PracticePart::ofGroup(kSmallGroup);
    plan.bars = std::pair<int, int>{3, 4};
    plan.ramp = TempoRamp::Settings{70, 10, 80};
    ASSERT_TRUE(trainer.startPlan(plan));
    EXPECT_EQ(host.channels().common(), ringing.mid(48, 32));
    EXPECT_EQ(host.interval, 143); // 70 % of the tempo
    EXPECT_TRUE(trainer.isCountingIn());

    // A whole pass with every strike missed: the tempo stays, the next pass counts in again.
    playPass(trainer, 32);
    EXPECT_EQ(trainer.passagePasses(), 1);
    EXPECT_TRUE(trainer.isCountingIn());
    ASSERT_NE(trainer.ramp(), nullptr);
    EXPECT_EQ(trainer.ramp()->percent(), 70);
    EXPECT_EQ(host.channels().common(), ringing.mid(48, 32));

    // A group ringing wraps to the first column instead of stopping: that
    // too ends the pass, and the next one counts in.
    host.playing = true;
    for (int c = 0; c < 32; ++c) {
        trainer.columnStruck(c, host.frame += 4800);
    }
    trainer.columnStruck(0, host.frame += 4800);
    EXPECT_FALSE(host.playing);
    trainer.poll();
    EXPECT_EQ(trainer.passagePasses(), 2);
    EXPECT_TRUE(trainer.isCountingIn());

    // Stopped part of the way through: the passage ends.
    playPass(trainer, 20);
    EXPECT_FALSE(trainer.inPassage());
    EXPECT_FALSE(trainer.isRunning());
    EXPECT_EQ(host.channels().common(), ringing);
    EXPECT_EQ(host.interval, 100);
    ASSERT_NE(trainer.summary(), nullptr);
    EXPECT_TRUE(trainer.summary()->drillText().contains(QStringLiteral("Такты 4–5, проходов: 3")));
    EXPECT_TRUE(trainer.summary()->drillText().contains(QStringLiteral("Уровень: нет")));

    // The hard bar is the ringing's bar 5, not the passage's second bar.
    trainer.repeatHardBars();
    ASSERT_TRUE(trainer.drill().has_value());
    EXPECT_EQ(trainer.drill()->bars(), (QList<int>{4}));
}

// The setup offers the bars selected on the score, and the plan carries them.
TEST_F(PassageTest, SetupTakesTheScoreSelection) {
    Trainer trainer(host);
    host.selection = std::pair<int, int>{70, 100};
    TrainingSetupDialog dialog(host, trainer);
    dialog.choose(PracticePart::ofGroup(kSmallGroup));
    PracticePlan plan = dialog.plan();
    ASSERT_TRUE(plan.bars.has_value());
    EXPECT_EQ(*plan.bars, (std::pair<int, int>{4, 6}));
    EXPECT_FALSE(plan.ramp.has_value());
    EXPECT_TRUE(dialog.gradeText().contains(QStringLiteral("50 мс")));

    trainer.grades().raise(host.name, QStringLiteral("s"), 1);
    dialog.choosePassage(9, 2); // given backwards
    plan = dialog.plan();
    EXPECT_EQ(*plan.bars, (std::pair<int, int>{1, 8}));
    EXPECT_TRUE(TrainingSetupDialog(host, trainer).gradeText().contains(QStringLiteral("35 мс")));
}

// A grade is earned only by a whole pass at the ringing's own tempo (or
// faster) from start to end: not at a slower one chosen before the run, nor
// when the tempo is slowed in the middle of it, and not for a ringing whose
// tempo is unknown.
TEST_F(PassageTest, GradeOnlyAtTheRingingsOwnTempo) {
    struct Case {
        const char* what;
        int own;
        int played;
        int slowedTo; // from column 40 on; 0: not changed
        bool graded;
    };
    const Case cases[] = {
        {"at its own tempo", 100, 100, 0, true},
        {"faster than its own", 120, 100, 0, true},
        {"slowed before the run (84 %)", 100, 119, 0, false},
        {"slowed in the middle", 100, 100, 119, false},
        {"one millisecond slower", 100, 101, 0, false},
        {"a tempo not known", 0, 100, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir data;
        qputenv("XDG_DATA_HOME", data.path().toUtf8());
        Trainer trainer(host);
        host.channels().setOwnInterval(c.own);
        host.interval = c.played;
        ASSERT_TRUE(trainer.startRun(PracticePart::ofGroup(kSmallGroup)));
        ringPass(trainer, static_cast<int>(ringing.size()), true, [&](int column) {
            if (column == 40 && c.slowedTo > 0) {
                host.interval = c.slowedTo;
            }
        });
        ASSERT_NE(trainer.session(), nullptr);
        EXPECT_EQ(computeStats(trainer.session()->outcomes()).hits, 8); // every strike on time
        EXPECT_EQ(trainer.grades().grade(host.name, QStringLiteral("s")) > 0, c.graded);
        ASSERT_NE(trainer.summary(), nullptr);
        EXPECT_EQ(trainer.summary()->drillText().contains(QStringLiteral("Новый уровень")), c.graded);
        EXPECT_EQ(trainer.summary()->drillText().contains(QStringLiteral("только в темпе самого звона")),
                  !c.graded);
        delete trainer.summary();
    }
    qputenv("XDG_DATA_HOME", m_dir.path().toUtf8());
}

// A passage looped and then heard again: the recording holds every pass on
// the ringing's own columns and frames, so that once the ringing is back the
// replay sounds the passage's bars (not the ringing's first ones) and the
// learner's strikes of every pass; the history keeps the same.
TEST_F(PassageTest, PassageIsHeardAgainAsItWasRung) {
    Trainer trainer(host);
    PracticePlan plan;
    plan.part = PracticePart::ofGroup(kSmallGroup);
    plan.bars = std::pair<int, int>{3, 4}; // columns 48..79
    plan.ramp = TempoRamp::Settings{70, 10, 80};
    ASSERT_TRUE(trainer.startPlan(plan));
    QList<std::int64_t> soundFrames;
    const auto pass = [&](int columns) {
        ringPass(trainer, columns, true,
                 [&](int) { soundFrames << host.frame + host.interval * FakePracticeHost::kRate / 1000; });
    };
    pass(32);
    pass(32);
    pass(10); // stopped in the third pass
    ASSERT_FALSE(trainer.inPassage());
    ASSERT_EQ(host.channels().common(), ringing);

    const QList<TrainingRun> runs = trainer.history().load();
    ASSERT_EQ(runs.size(), 1);
    RunRecording recording;
    ASSERT_TRUE(RunRecording::decode(runs[0].recording, FakePracticeHost::kRate, recording));
    ASSERT_EQ(recording.columns.size(), 32 + 32 + 10);
    for (int i = 0; i < recording.columns.size(); ++i) {
        EXPECT_EQ(recording.columns[i].column, 48 + i % 32) << i;
        // Kept to the millisecond, from the first column.
        EXPECT_NEAR(recording.columns[i].frame, soundFrames[i] - soundFrames[0], 48) << i;
    }
    // Bar 5's eight small strikes in each of two whole passes, rung on time.
    EXPECT_EQ(runs[0].hits, 16);
    EXPECT_EQ(recording.strikes.size(), 16);
    EXPECT_NEAR(recording.strikes.last().frame - recording.strikes.first().frame,
                recording.columns[32 + 30].frame - recording.columns[16].frame, 96);

    // As written, the replay strikes the passage's bells: bar 5's small ones among them.
    const auto bellsOf = [this](int column) {
        return ::ColumnSampleFiles(host.commonScoreLine(column), host.ensemble(), StrikeSwitches{}, QString(),
                                   [](int) { return QString(); })
            .bells;
    };
    const QList<StrikePlayer::Strike> written = replayStrikes(recording, ReplayMode::AsWritten, bellsOf);
    // Per whole pass: b1 on 8 beats and s1 on 8 columns; the cut pass: b1 on 3 beats.
    EXPECT_EQ(written.size(), 2 * 16 + 3);
}

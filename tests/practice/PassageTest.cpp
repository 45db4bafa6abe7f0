// A passage of bars looped by the trainer against a host of the test's own.

#include "practice/Trainer.h"
#include "practice/TrainingSetupDialog.h"
#include "practice/TrainingSummaryDialog.h"
#include "support/TestProgram.h"

#include "FakePracticeHost.h"

#include <QTemporaryDir>

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

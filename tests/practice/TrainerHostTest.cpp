// The trainer against a host of the test's own: what it asks of the program
// when a run starts, counts in and is stopped, with no window behind it.

#include "base/ProfileFile.h"
#include "input/KeyStrikeNotifier.h"
#include "practice/PracticeHost.h"
#include "practice/RunReplay.h"
#include "practice/Trainer.h"
#include "ringing/TChannels.h"
#include "support/TestProgram.h"

#include "FakePracticeHost.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

namespace {

constexpr int kRate = FakePracticeHost::kRate;

class TrainerHost : public ::testing::Test {
protected:
    void SetUp() override {
        ensureQtApplication();
        host.lead = 0;
        // Big 1, 2; small 4, 5.
        host.bells.applyText(QStringLiteral("011011000000000"), QStringLiteral("nbbnssnnnnnnnnn"));
        host.channels().common() = {QStringLiteral("s1,b1"), QString(), QStringLiteral("s2"), QString()};
    }

    QTemporaryDir m_dir;
    FakePracticeHost host{m_dir.filePath(QStringLiteral("campanix.ini"))};
};

} // namespace

TEST_F(TrainerHost, CountInRingsTheBiggestBellOnEveryBeatThenStopEndsTheRun) {
    Trainer trainer(host);
    ASSERT_TRUE(trainer.startRun(PracticePart::ofGroup(kSmallGroup)));
    ASSERT_TRUE(trainer.isCountingIn());
    EXPECT_GE(host.stops, 1); // whatever played is stopped before the count-in
    EXPECT_TRUE(trainer.silences(4));
    EXPECT_TRUE(trainer.silences(5));
    EXPECT_FALSE(trainer.silences(1));

    // Bell 0 is not in the ensemble: the biggest selected one counts in, one
    // beat (four columns of 100 ms) apart, with voices of playback.
    EXPECT_TRUE(host.sounded.empty());
    ASSERT_EQ(host.played.size(), 4u);
    const std::int64_t beat = 4 * 100 * kRate / 1000;
    for (size_t k = 0; k < host.played.size(); ++k) {
        EXPECT_EQ(host.played[k].first, 1);
        EXPECT_EQ(host.played[k].second, host.played[0].second + static_cast<std::int64_t>(k) * beat);
    }
    // The ringing is started at once, its column 0 sounding (a lead after
    // its ideal frame) exactly on the bar after the count-in's.
    EXPECT_TRUE(host.playing);
    ASSERT_TRUE(host.playedAt.has_value());
    EXPECT_EQ(*host.playedAt + host.lead, host.played[0].second + 4 * beat);
    // The count-in lasts until column 0 is struck; a later column ends it too.
    trainer.poll();
    EXPECT_TRUE(trainer.isCountingIn());

    // Stop during the count-in: the run never begins, nothing is silenced,
    // and the beats still to come are taken back.
    host.frame = host.played[1].second;
    host.stop();
    trainer.stopCommanded();
    EXPECT_FALSE(trainer.isRunning());
    EXPECT_FALSE(trainer.silences(4));
    EXPECT_FALSE(host.playing);
    EXPECT_EQ(host.played.size(), 1u);

    // Paused during the count-in (the window tells the trainer only of Play
    // and Stop): the poll finds the transport idle and the run ends as well.
    ASSERT_TRUE(trainer.startRun(PracticePart::ofGroup(kSmallGroup)));
    host.playing = false;
    trainer.poll();
    EXPECT_FALSE(trainer.isRunning());
    EXPECT_EQ(host.played.size(), 1u);
}

TEST_F(TrainerHost, NoRunWithoutSoundOrRinging) {
    Trainer trainer(host);
    host.sound = false;
    EXPECT_FALSE(trainer.startRun(PracticePart::ofGroup(kSmallGroup)));
    host.sound = true;
    host.channels().common().clear();
    EXPECT_FALSE(trainer.startRun(PracticePart::ofGroup(kSmallGroup)));
    EXPECT_FALSE(trainer.isRunning());
    EXPECT_TRUE(host.sounded.empty() && host.played.empty());
}

TEST_F(TrainerHost, LatencyIsKeptInTheHostsSettings) {
    {
        Trainer trainer(host);
        trainer.setLatencyMs(35);
    }
    Trainer again(host);
    EXPECT_EQ(again.latencyMs(), 35);
}

// A run heard again: the score's place follows the column sounding, and
// Play (the ringing itself) ends the hearing, sounding nothing more of it.
TEST_F(TrainerHost, ReplayFollowsItsColumnsAndGivesWayToPlay) {
    RunReplay replay(host);
    RunRecording recording{kRate, {4, 5}, {}, {}};
    for (int column = 0; column < 4; ++column) {
        recording.columnPlayed(column, 5000 + column * kRate); // a second apart
    }
    const auto waitFor = [](const std::function<bool()>& done) {
        QElapsedTimer waited;
        waited.start();
        while (!done() && waited.elapsed() < 2000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        return done();
    };
    host.playing = true;
    ASSERT_TRUE(replay.play(recording, ReplayMode::AsWritten));
    EXPECT_FALSE(host.playing); // the transport was stopped first
    // Column 0's s1 and b1 are handed at once, on the frame the play
    // started, with voices of playback (not the hand strikes' few).
    EXPECT_TRUE(host.sounded.empty());
    ASSERT_EQ(host.played.size(), 2u);
    EXPECT_EQ(host.played[0].second, host.frame);
    ASSERT_TRUE(waitFor([&] { return host.places == QList<int>{0}; }));
    host.frame += kRate + 10;
    ASSERT_TRUE(waitFor([&] { return host.places == (QList<int>{0, 1}); }));

    host.playing = true;
    ASSERT_TRUE(waitFor([&] { return !replay.isPlaying(); }));
    host.frame += 5 * kRate;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
    EXPECT_EQ(host.played.size(), 2u);
    EXPECT_EQ(host.places, (QList<int>{0, 1}));
}

// Stopped while strikes already handed still wait for their frames (a short
// run is handed whole at once), the replay takes back those not begun.
TEST_F(TrainerHost, StoppedReplayTakesBackWhatHasNotSounded) {
    RunReplay replay(host);
    RunRecording recording{kRate, {4, 5}, {}, {}};
    for (int column = 0; column < 4; ++column) {
        recording.columnPlayed(column, 5000 + column * kRate / 10); // 100 ms apart
    }
    ASSERT_TRUE(replay.play(recording, ReplayMode::AsWritten));
    ASSERT_EQ(host.played.size(), 3u); // s1 and b1, then s2 200 ms later
    EXPECT_FALSE(replay.isPlaying());  // every strike handed
    host.frame += kRate / 10;
    replay.stop();
    ASSERT_EQ(host.played.size(), 2u);
    EXPECT_LT(host.played[1].second, host.frame);
}

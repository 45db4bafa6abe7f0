// The trainer against a host of the test's own: what it asks of the program
// when a run starts, counts in and is stopped, with no window behind it.

#include "base/ProfileFile.h"
#include "input/KeyStrikeNotifier.h"
#include "practice/PracticeHost.h"
#include "practice/RunReplay.h"
#include "practice/Trainer.h"
#include "ringing/TChannels.h"
#include "support/TestProgram.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

namespace {

constexpr int kRate = 48000;

class FakePracticeHost : public PracticeHost {
public:
    explicit FakePracticeHost(const QString& settingsPath) : m_settings(settingsPath) {}

    QWidget* dialogParent() override { return nullptr; }
    ProfileFile& settingsFile() override { return m_settings; }
    KeyStrikeNotifier& keyStrikeNotifier() override { return m_notifier; }
    void showStatusMessage(const QString& text) override { statusMessages << text; }
    QString ringingName() const override { return name; }
    const Ensemble& ensemble() const override { return bells; }
    TChannels& channels() override { return m_channels; }
    int commonScoreSize() const override { return static_cast<int>(m_channels.common().size()); }
    QString commonScoreLine(int column) const override { return m_channels.common().value(column); }
    bool soundAvailable() const override { return sound; }
    std::int64_t audioFrameClock() const override { return frame; }
    int audioSampleRate() const override { return kRate; }
    std::int64_t schedulingLeadFrames() const override { return 0; }
    void soundBell(int bell, std::int64_t atFrame) override { sounded.emplace_back(bell, atFrame); }
    bool isPlaying() const override { return playing; }
    void play() override { playing = true; }
    void stop() override {
        playing = false;
        ++stops;
    }
    int sequencerInterval() const override { return interval; }
    void setTempo(int intervalMs) override { interval = intervalMs; }
    TransportRanges transportRanges() const override { return ranges; }
    void restoreTransportRanges(const TransportRanges& restored) override { ranges = restored; }
    bool keyboardRinging() const override { return keys; }
    void setKeyboardRinging(bool on) override { keys = on; }
    int pagePosition() const override { return 1; }
    bool simplifiedScore() const override { return false; }
    QWidget* staff(BellGroup) const override { return nullptr; }
    void showPlace(int column) override { places << column; }

    QString name = QStringLiteral("Проба");
    Ensemble bells;
    bool sound = true;
    std::int64_t frame = 1000000;
    bool playing = false;
    int stops = 0;
    int interval = 100;
    TransportRanges ranges;
    bool keys = true;
    std::vector<std::pair<int, std::int64_t>> sounded;
    QStringList statusMessages;
    QList<int> places;

private:
    ProfileFile m_settings;
    KeyStrikeNotifier m_notifier;
    TChannels m_channels;
};

class TrainerHost : public ::testing::Test {
protected:
    void SetUp() override {
        ensureQtApplication();
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
    // beat (four columns of 100 ms) apart.
    ASSERT_EQ(host.sounded.size(), 4u);
    for (size_t beat = 0; beat < host.sounded.size(); ++beat) {
        EXPECT_EQ(host.sounded[beat].first, 1);
        if (beat > 0) {
            EXPECT_EQ(host.sounded[beat].second - host.sounded[beat - 1].second, 4 * 100 * kRate / 1000);
        }
    }

    // Stop during the count-in: the run never begins, nothing is silenced.
    trainer.stopCommanded();
    EXPECT_FALSE(trainer.isRunning());
    EXPECT_FALSE(trainer.silences(4));
    EXPECT_FALSE(host.playing);
}

TEST_F(TrainerHost, NoRunWithoutSoundOrRinging) {
    Trainer trainer(host);
    host.sound = false;
    EXPECT_FALSE(trainer.startRun(PracticePart::ofGroup(kSmallGroup)));
    host.sound = true;
    host.channels().common().clear();
    EXPECT_FALSE(trainer.startRun(PracticePart::ofGroup(kSmallGroup)));
    EXPECT_FALSE(trainer.isRunning());
    EXPECT_TRUE(host.sounded.empty());
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
    // Column 0's s1 and b1 are handed at once, on the frame the play started.
    ASSERT_EQ(host.sounded.size(), 2u);
    EXPECT_EQ(host.sounded[0].second, host.frame);
    ASSERT_TRUE(waitFor([&] { return host.places == QList<int>{0}; }));
    host.frame += kRate + 10;
    ASSERT_TRUE(waitFor([&] { return host.places == (QList<int>{0, 1}); }));

    host.playing = true;
    ASSERT_TRUE(waitFor([&] { return !replay.isPlaying(); }));
    host.frame += 5 * kRate;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
    EXPECT_EQ(host.sounded.size(), 2u);
    EXPECT_EQ(host.places, (QList<int>{0, 1}));
}

#include "playback/StrikeVoices.h"
#include "TestSamples.h"

#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class StrikeVoicesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        ASSERT_TRUE(testsamples::writeMarkedBells(folder, 2000));
        // A long sample for voices that must still be ringing.
        ASSERT_TRUE(
            testsamples::writeWav(folder + QStringLiteral("long.wav"), std::vector<float>(48000, 0.01f), 1));
        engine = audio::AudioEngine::createOffline({});
        mci = std::make_unique<MciInterpreter>(*engine);
    }
    std::vector<float> render(int frames) {
        std::vector<float> out(static_cast<std::size_t>(2 * frames));
        engine->mixer().render(out.data(), frames);
        return out;
    }
    QString shortSample() const { return folder + testsamples::bellFileName(0); }
    QString longSample() const { return folder + QStringLiteral("long.wav"); }

    QTemporaryDir dir;
    QString folder;
    std::unique_ptr<audio::AudioEngine> engine;
    std::unique_ptr<MciInterpreter> mci;
};

TEST_F(StrikeVoicesTest, PlayingAliasIsNeverReused) {
    for (std::uint32_t seed = 1; seed <= 20; ++seed) {
        StrikeVoices voices(*mci, seed);
        // With a range of two aliases the second draw must find the one left.
        const QString first = voices.sound(longSample(), 1);
        const QString second = voices.sound(longSample(), 1);
        EXPECT_NE(first, second) << seed;
        EXPECT_TRUE(voices.isVoicePlaying(first));
        EXPECT_TRUE(voices.isVoicePlaying(second));
        voices.closeFinishedVoices();
        EXPECT_EQ(voices.aliasList().size(), 2); // playing voices survive the sweep
        for (const QString& alias : voices.aliasList()) {
            mci->execute(QStringLiteral("close ") + alias);
        }
    }
}

TEST_F(StrikeVoicesTest, FinishedAliasIsClosedAndRedrawn) {
    for (std::uint32_t seed = 1; seed <= 20; ++seed) {
        StrikeVoices voices(*mci, seed);
        voices.sound(shortSample(), 1);
        voices.sound(shortSample(), 1);
        render(2000); // both have ended, neither is closed yet
        EXPECT_EQ(mci->openCount(), 2);
        const QString third = voices.sound(longSample(), 1);
        EXPECT_TRUE(voices.isVoicePlaying(third)) << seed;
        // Every listed alias is open exactly once; none that was closed is still listed.
        const QStringList& listed = voices.aliasList();
        EXPECT_EQ(QSet<QString>(listed.begin(), listed.end()).size(), listed.size());
        EXPECT_EQ(mci->openCount(), listed.size());
        for (const QString& alias : listed) {
            EXPECT_TRUE(mci->voiceOf(alias).has_value());
        }
        voices.closeFinishedVoices();
        EXPECT_EQ(voices.aliasList(), QStringList({third}));
        mci->execute(QStringLiteral("close ") + third);
    }
}

TEST_F(StrikeVoicesTest, FullRangeOfRingingVoicesTakesOverTheOldest) {
    StrikeVoices voices(*mci, 3);
    const QString first = voices.sound(longSample(), 1);
    const QString second = voices.sound(longSample(), 1);
    // Every alias of the range rings: the strike must not wait for one to end.
    const QString third = voices.sound(longSample(), 1);
    EXPECT_EQ(third, first);
    EXPECT_EQ(voices.aliasList(), QStringList({second, first}));
    EXPECT_TRUE(voices.isVoicePlaying(third));
    EXPECT_TRUE(voices.isVoicePlaying(second));
    EXPECT_EQ(mci->openCount(), 2);
}

TEST_F(StrikeVoicesTest, HandStrikeRangeHoldsSixtyFourVoices) {
    StrikeVoices voices(*mci, 11);
    QSet<QString> seen;
    for (int strike = 0; strike < 64; ++strike) {
        const QString alias = voices.sound(longSample(), kHandStrikeAliasMax);
        EXPECT_LE(alias.toInt(), kHandStrikeAliasMax);
        seen.insert(alias);
    }
    // Sixty-four ringing strikes take sixty-four distinct aliases of 0..63.
    EXPECT_EQ(seen.size(), 64);
    EXPECT_EQ(mci->openCount(), 64);
}

TEST_F(StrikeVoicesTest, SweepClosesOnlyFinishedVoices) {
    StrikeVoices voices(*mci, 5);
    const QString ended = voices.sound(shortSample(), kSequencerAliasMax);
    const QString ringing = voices.sound(longSample(), kSequencerAliasMax);
    render(4096);
    voices.closeFinishedVoices();
    EXPECT_EQ(voices.aliasList(), QStringList({ringing}));
    EXPECT_FALSE(mci->voiceOf(ended).has_value());
    EXPECT_TRUE(voices.isVoicePlaying(ringing));
}

TEST_F(StrikeVoicesTest, ColumnStartsOnIdealFramePlusLead) {
    StrikeVoices voices(*mci, 9);
    const std::int64_t lead = engine->schedulingLeadFrames();
    ASSERT_EQ(lead, 1440); // 30 ms at 48 kHz
    render(256);
    voices.strikeColumn({folder + testsamples::bellFileName(2), folder + testsamples::bellFileName(5)}, 1000);
    EXPECT_EQ(voices.voiceFiles().size(), 2);
    std::vector<float> out = render(4096);
    out.insert(out.begin(), 512, 0.0f); // the first 256 frames rendered above were silent
    testsamples::Wav wav{2, 48000, out};
    const auto onsets = testsamples::markedOnsets(wav);
    ASSERT_EQ(onsets.size(), 1u);
    EXPECT_EQ(onsets[0].first, static_cast<std::size_t>(1000 + lead));
    EXPECT_EQ(onsets[0].second, (1 << 2) | (1 << 5));
}

TEST_F(StrikeVoicesTest, ColumnWithoutIdealFrameStartsAtOnce) {
    StrikeVoices voices(*mci, 9);
    render(300);
    voices.strikeColumn({folder + testsamples::bellFileName(4)}, std::nullopt);
    const std::vector<float> out = render(256);
    EXPECT_EQ(out[0], testsamples::bellMark(4)); // the next rendered frame
    EXPECT_EQ(engine->mixer().lateStarts(), 0u);
}

TEST_F(StrikeVoicesTest, ColumnWhoseFrameHasPassedStartsAtOnceAndCountsLate) {
    StrikeVoices voices(*mci, 9);
    render(48000);
    voices.strikeColumn({folder + testsamples::bellFileName(6)}, 100);
    const std::vector<float> out = render(256);
    EXPECT_EQ(out[0], testsamples::bellMark(6));
    EXPECT_EQ(engine->mixer().lateStarts(), 1u);
}

// Strikes handed ahead outside the sequencer's columns (a run heard again,
// a count-in) take playback voices: a hundred of them ring on through a
// burst of hand strikes, where the hand strikes' sixty-four would cut the
// oldest. Withdrawn, only those not begun are taken back.
TEST_F(StrikeVoicesTest, StrikesHandedAheadKeepTheirVoices) {
    StrikeVoices voices(*mci, 13);
    for (int strike = 0; strike < 100; ++strike) {
        voices.soundAhead(longSample(), strike < 90 ? 0 : 48000);
    }
    const QStringList ahead = voices.aliasList();
    ASSERT_EQ(ahead.size(), 100);
    std::vector<audio::VoiceHandle> handles;
    for (const QString& alias : ahead) {
        EXPECT_GT(alias.toInt(), kHandStrikeAliasMax);
        handles.push_back(*mci->voiceOf(alias));
    }
    for (int strike = 0; strike < 70; ++strike) {
        voices.sound(longSample(), kHandStrikeAliasMax);
    }
    render(256);
    // The very voices, not others taken over under their aliases.
    for (qsizetype i = 0; i < ahead.size(); ++i) {
        EXPECT_TRUE(voices.isVoicePlaying(ahead[i])) << ahead[i].toStdString();
        EXPECT_TRUE(mci->voiceOf(ahead[i]) == handles[static_cast<std::size_t>(i)]);
    }
    voices.cancelAheadFrom(24000);
    int open = 0;
    for (const QString& alias : ahead) {
        open += mci->voiceOf(alias).has_value() ? 1 : 0;
    }
    EXPECT_EQ(open, 90);
    EXPECT_EQ(voices.aliasList().size(), 90 + 64);
}

} // namespace

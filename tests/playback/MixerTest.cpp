#include "playback/audio/Mixer.h"
#include "playback/audio/SampleDecoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

using audio::Mixer;
using audio::MixerConfig;

std::shared_ptr<const audio::Sample> constantSample(float value, int frames) {
    return audio::makeSample("constant", 1, 48000,
                             std::vector<float>(static_cast<std::size_t>(frames), value));
}

std::shared_ptr<const audio::Sample> clickSample(float value, int frames) {
    std::vector<float> data(static_cast<std::size_t>(frames), 0.0f);
    data[0] = value;
    return audio::makeSample("click", 1, 48000, std::move(data));
}

// Renders `frames` frames in blocks of `block` and returns the left channel.
std::vector<float> renderLeft(Mixer& mixer, int frames, int block = 256) {
    std::vector<float> left;
    std::vector<float> out(static_cast<std::size_t>(2 * block));
    while (static_cast<int>(left.size()) < frames) {
        const int n = std::min(block, frames - static_cast<int>(left.size()));
        mixer.render(out.data(), n);
        for (int i = 0; i < n; ++i) {
            left.push_back(out[static_cast<std::size_t>(2 * i)]);
        }
    }
    return left;
}

int firstNonZero(const std::vector<float>& values) {
    const auto it = std::find_if(values.begin(), values.end(), [](float v) { return v != 0.0f; });
    return it == values.end() ? -1 : static_cast<int>(it - values.begin());
}

TEST(Mixer, StartsOnTheExactTargetFrame) {
    // Targets at block edges and inside blocks, for block sizes that do and
    // do not divide them: catches an onset rounded to a block boundary.
    for (int block : {64, 256, 250}) {
        for (std::int64_t target : {0, 1, 249, 255, 256, 257, 1000, 4095}) {
            Mixer mixer(MixerConfig{});
            const auto click = clickSample(0.5f, 100);
            const auto handle = mixer.openVoice(click.get());
            ASSERT_TRUE(handle);
            ASSERT_TRUE(mixer.play(*handle, target));
            const std::vector<float> left = renderLeft(mixer, 5000, block);
            EXPECT_EQ(firstNonZero(left), target) << "block " << block;
            EXPECT_EQ(mixer.lateStarts(), 0u);
        }
    }
}

TEST(Mixer, LateStartSoundsAtOnceAndIsCounted) {
    Mixer mixer(MixerConfig{});
    renderLeft(mixer, 1024);
    const auto click = clickSample(0.25f, 100);
    const auto late = mixer.openVoice(click.get());
    mixer.play(*late, 500);
    const auto now = mixer.openVoice(click.get());
    mixer.play(*now, audio::kStartNow);
    const std::vector<float> left = renderLeft(mixer, 256);
    EXPECT_FLOAT_EQ(left[0], 0.5f);    // both on the first frame of the block
    EXPECT_EQ(mixer.lateStarts(), 1u); // "at once" is not late
}

TEST(Mixer, VoiceRingsToTheEndOfItsSampleAndIsThenFinished) {
    Mixer mixer(MixerConfig{});
    const auto tone = constantSample(0.25f, 1000);
    const auto handle = mixer.openVoice(tone.get());
    mixer.play(*handle, 300);
    const std::vector<float> left = renderLeft(mixer, 1299);
    EXPECT_TRUE(mixer.isPlaying(*handle));
    for (int frame : {299, 300, 1298}) {
        EXPECT_FLOAT_EQ(left[static_cast<std::size_t>(frame)], frame < 300 ? 0.0f : 0.25f) << frame;
    }
    const std::vector<float> rest = renderLeft(mixer, 256);
    EXPECT_FLOAT_EQ(rest[0], 0.25f); // frame 1299, the last of the sample
    EXPECT_FLOAT_EQ(rest[1], 0.0f);
    EXPECT_FALSE(mixer.isPlaying(*handle));
    EXPECT_TRUE(mixer.isOpen(*handle)); // finished, not closed
    EXPECT_EQ(mixer.activeVoices(), 0);
}

TEST(Mixer, StrikesOfOneSampleOverlap) {
    Mixer mixer(MixerConfig{});
    const auto tone = constantSample(0.1f, 1000);
    const auto first = mixer.openVoice(tone.get());
    const auto second = mixer.openVoice(tone.get());
    mixer.play(*first, 0);
    mixer.play(*second, 400);
    const std::vector<float> left = renderLeft(mixer, 1600);
    // The second strike adds to the first instead of cutting it off.
    const float held = tone->valueAt(0); // 0.1 in the sample's 16-bit steps
    EXPECT_FLOAT_EQ(left[399], held);
    EXPECT_FLOAT_EQ(left[400], 2 * held);
    EXPECT_FLOAT_EQ(left[999], 2 * held);
    EXPECT_FLOAT_EQ(left[1000], held);
    EXPECT_FLOAT_EQ(left[1399], held);
    EXPECT_FLOAT_EQ(left[1400], 0.0f);
}

TEST(Mixer, RestartAndCloseOfASoundingVoice) {
    Mixer mixer(MixerConfig{});
    const auto tone = constantSample(0.1f, 48000);
    const auto handle = mixer.openVoice(tone.get());
    mixer.play(*handle, 0);
    renderLeft(mixer, 1000);
    mixer.play(*handle, 1000); // play again restarts: one voice, not two
    std::vector<float> left = renderLeft(mixer, 2000);
    EXPECT_NEAR(left[1999], tone->valueAt(0), 1e-6f);
    EXPECT_TRUE(mixer.isPlaying(*handle));
    mixer.close(*handle);
    left = renderLeft(mixer, 2000);
    EXPECT_LT(std::fabs(left[100]), 0.09f); // fades out ...
    EXPECT_FLOAT_EQ(left[1999], 0.0f);      // ... within a few milliseconds
    EXPECT_EQ(mixer.activeVoices(), 0);
}

TEST(Mixer, FullPoolTakesOverTheQuietestVoice) {
    MixerConfig config;
    config.voices = 4;
    Mixer mixer(config);
    // Decaying tones: the one struck first is the most decayed.
    std::vector<float> decay(48000);
    for (std::size_t i = 0; i < decay.size(); ++i) {
        decay[i] = 0.2f * std::exp(-static_cast<float>(i) / 4800.0f);
    }
    const auto bell = audio::makeSample("decay", 1, 48000, decay);
    std::vector<audio::VoiceHandle> handles;
    for (int strike = 0; strike < 4; ++strike) {
        handles.push_back(*mixer.openVoice(bell.get()));
        mixer.play(handles.back(), audio::kStartNow);
        renderLeft(mixer, 2048);
    }
    const auto click = clickSample(0.125f, 4800);
    const auto extra = mixer.openVoice(click.get());
    mixer.play(*extra, mixer.frameClock() + 10);
    const std::vector<float> left = renderLeft(mixer, 512);
    EXPECT_EQ(mixer.takenOverVoices(), 1u);
    EXPECT_FALSE(mixer.isPlaying(handles[0])); // the oldest, quietest voice gave way
    for (int strike = 1; strike < 4; ++strike) {
        EXPECT_TRUE(mixer.isPlaying(handles[static_cast<std::size_t>(strike)])) << strike;
    }
    EXPECT_TRUE(mixer.isPlaying(*extra)); // the new strike is not dropped
    // Its click is there on its frame, over the three bells still ringing.
    EXPECT_GT(left[10] - left[9], 0.1f);
}

TEST(Mixer, LimiterKeepsTwoHundredStrikesInRange) {
    Mixer mixer(MixerConfig{});
    std::vector<float> sine(2 * 24000);
    for (std::size_t i = 0; i < sine.size() / 2; ++i) {
        const float value = 0.9f * std::sin(2.0f * 3.14159265f * 440.0f * static_cast<float>(i) / 48000.0f);
        sine[2 * i] = value;
        sine[2 * i + 1] = -value;
    }
    const auto loud = audio::makeSample("sine", 2, 48000, sine);
    for (int strike = 0; strike < 200; ++strike) {
        mixer.play(*mixer.openVoice(loud.get()), strike % 7);
    }
    std::vector<float> out(512);
    float peak = 0.0f;
    for (int block = 0; block < 100; ++block) {
        mixer.render(out.data(), 256);
        for (float v : out) {
            ASSERT_LE(std::fabs(v), 1.0f); // a sum of 180 at full scale must never leave [-1, 1]
            peak = std::max(peak, std::fabs(v));
        }
    }
    EXPECT_GT(peak, 0.8f); // and it is limited, not muted
}

TEST(Mixer, SoftClipIsContinuousAndBounded) {
    using audio::SoftLimiter;
    EXPECT_FLOAT_EQ(SoftLimiter::softClip(0.5f), 0.5f);
    EXPECT_NEAR(SoftLimiter::softClip(SoftLimiter::kKnee + 1e-4f), SoftLimiter::kKnee + 1e-4f, 1e-5f);
    EXPECT_LE(SoftLimiter::softClip(1e9f), 1.0f);
    EXPECT_GE(SoftLimiter::softClip(-1e9f), -1.0f);
    EXPECT_EQ(SoftLimiter::softClip(std::nanf("")), 0.0f);
}

TEST(Mixer, MasterVolumePerChannel) {
    Mixer mixer(MixerConfig{});
    const auto tone = constantSample(0.5f, 48000);
    mixer.setMasterVolume(32768, 0);
    mixer.play(*mixer.openVoice(tone.get()), 0);
    std::vector<float> out(512);
    mixer.render(out.data(), 256); // the change glides over this block
    mixer.render(out.data(), 256);
    EXPECT_NEAR(out[0], 0.25f, 1e-4f);
    EXPECT_FLOAT_EQ(out[1], 0.0f);
    EXPECT_EQ(mixer.masterVolumeLeft(), 32768);
}

TEST(Mixer, StartReportsTellWhichSampleStartedWhere) {
    Mixer mixer(MixerConfig{});
    mixer.setStartReports(true);
    const auto a = clickSample(0.1f, 10);
    const auto b = clickSample(0.2f, 10);
    mixer.play(*mixer.openVoice(a.get()), 700);
    mixer.play(*mixer.openVoice(b.get()), audio::kStartNow);
    renderLeft(mixer, 512);
    audio::StartReport report;
    ASSERT_TRUE(mixer.takeStartReport(report));
    EXPECT_EQ(report.sample, a.get());
    EXPECT_EQ(report.startFrame, 700);
    ASSERT_TRUE(mixer.takeStartReport(report));
    EXPECT_EQ(report.sample, b.get());
    EXPECT_EQ(report.startFrame, 0);
    EXPECT_FALSE(mixer.takeStartReport(report));
}

} // namespace

namespace {

bool denormalsFlushedHere() {
    volatile float tiny = 1e-38f;
    volatile float shrunk = tiny * 1e-3f;
    return shrunk == 0.0f;
}

} // namespace

TEST(Mixer, SilenceAfterAStrikeBringsTheLimiterEnvelopeToZero) {
    // Without flushing, the envelope decays into the denormal range (about
    // 5e-42 after 13 s of silence) and stays there, and every frame of
    // silence then pays for denormal arithmetic. The caller's own mode must
    // come back after each block.
    const bool flushedBefore = denormalsFlushedHere();
    Mixer mixer(MixerConfig{});
    const auto tone = constantSample(0.9f, 4800);
    const auto handle = mixer.openVoice(tone.get());
    ASSERT_TRUE(handle);
    ASSERT_TRUE(mixer.play(*handle, 0));
    renderLeft(mixer, 48000 * 16, 512);
    EXPECT_EQ(mixer.limiterEnvelope(), 0.0f);
    EXPECT_EQ(denormalsFlushedHere(), flushedBefore);
}

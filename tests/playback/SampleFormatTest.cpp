#include "playback/audio/Mixer.h"
#include "playback/audio/SampleDecoder.h"
#include "playback/audio/VoiceLoop.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// 16-bit values of a 16-bit file come back exactly; a converted sample that
// overshoots full scale is scaled down as a whole instead of clipping; any
// value is held within half a step.
TEST(SampleFormat, SixteenBitValuesExactOvershootScaledNotClipped) {
    const std::vector<float> exact = {0.0f, 1.0f / 32768, -1.0f, 32767.0f / 32768, -12345.0f / 32768};
    const auto held = audio::makeSample("exact", 1, 48000, exact);
    ASSERT_EQ(held->data.size(), exact.size());
    EXPECT_EQ(held->scale, audio::Sample::kUnitScale);
    for (std::size_t i = 0; i < exact.size(); ++i) {
        EXPECT_EQ(held->valueAt(i), exact[i]) << i;
    }
    // A quiet sound keeps the steps below 1/32768 (test marks, soft tails).
    const std::vector<float> quiet = {std::ldexp(1.0f, -16), -std::ldexp(3.0f, -20), std::ldexp(1.0f, -24)};
    const auto soft = audio::makeSample("quiet", 1, 48000, quiet);
    for (std::size_t i = 0; i < quiet.size(); ++i) {
        EXPECT_EQ(soft->valueAt(i), quiet[i]) << i;
    }

    std::vector<float> loud(1000);
    for (std::size_t i = 0; i < loud.size(); ++i) {
        loud[i] = 1.25f * std::sin(0.05f * static_cast<float>(i)) + 0.3f / (1.0f + static_cast<float>(i));
    }
    const auto scaled = audio::makeSample("loud", 2, 48000, loud);
    EXPECT_GT(scaled->scale, audio::Sample::kUnitScale);
    for (std::size_t i = 0; i < loud.size(); ++i) {
        ASSERT_NEAR(scaled->valueAt(i), loud[i], 0.5f * scaled->scale) << i;
    }
    EXPECT_NEAR(scaled->levelAt(0), 1.25f, 0.01f); // the envelope keeps the true level
}

// The vectorised loops against plain arithmetic, for lengths and offsets
// around every vector width (the remainder and alignment cases).
TEST(SampleFormat, VoiceLoopsMatchScalarSumsForEveryLengthAndOffset) {
    std::vector<std::int16_t> source(200);
    for (std::size_t i = 0; i < source.size(); ++i) {
        source[i] = static_cast<std::int16_t>((static_cast<int>(i) * 7919) % 65536 - 32768);
    }
    const float gain = 0.37f / 32768.0f;
    for (int channels : {1, 2}) {
        for (int offset : {0, 1, 3}) {
            for (int frames = 0; frames <= 37; ++frames) {
                std::vector<float> dst(static_cast<std::size_t>(2 * frames + 8), 0.25f);
                std::vector<float> expected = dst;
                const std::int16_t* src = source.data() + offset;
                for (int f = 0; f < frames; ++f) {
                    for (int c = 0; c < 2; ++c) {
                        const int index = channels == 2 ? 2 * f + c : f;
                        expected[static_cast<std::size_t>(1 + 2 * f + c)] +=
                            static_cast<float>(src[index]) * gain;
                    }
                }
                if (channels == 2) {
                    audio::voiceloop::addStereo(dst.data() + 1, src, frames, gain);
                } else {
                    audio::voiceloop::addMono(dst.data() + 1, src, frames, gain);
                }
                ASSERT_EQ(dst, expected) << channels << " channels, " << frames << " frames, offset "
                                         << offset << " (" << audio::voiceloop::variant() << ")";
            }
        }
    }
}

// The steady voices summed in registers, by each variant the processor has,
// against one pass per voice: block lengths around the tile sizes, stereo
// and mono voices together, sources at odd places.
TEST(SampleFormat, SteadyVoicesMatchOnePassPerVoice) {
    std::vector<std::int16_t> source(4096);
    for (std::size_t i = 0; i < source.size(); ++i) {
        source[i] = static_cast<std::int16_t>((static_cast<int>(i) * 7919) % 65536 - 32768);
    }
    const std::int16_t* stereo[3] = {source.data() + 1, source.data() + 700, source.data() + 1501};
    const float stereoGain[3] = {0.45f / 32768, 0.2f / 32768, 1.0f / 32768};
    const std::int16_t* mono[2] = {source.data() + 3, source.data() + 2048};
    const float monoGain[2] = {0.7f / 32768, 0.1f / 32768};
    for (const auto variant : {audio::voiceloop::Variant::Sse2, audio::voiceloop::Variant::Avx2}) {
        if (!audio::voiceloop::available(variant)) {
            continue;
        }
        for (int stereoCount : {0, 1, 3}) {
            for (int monoCount : {0, 2}) {
                for (int frames : {1, 15, 16, 17, 31, 32, 33, 250, 256}) {
                    std::vector<float> expected(static_cast<std::size_t>(2 * frames), 0.125f);
                    std::vector<float> got = expected;
                    for (int v = 0; v < stereoCount; ++v) {
                        audio::voiceloop::addStereo(expected.data(), stereo[v], frames, stereoGain[v]);
                    }
                    for (int v = 0; v < monoCount; ++v) {
                        audio::voiceloop::addMono(expected.data(), mono[v], frames, monoGain[v]);
                    }
                    const audio::voiceloop::SteadyVoices voices{stereo, stereoGain, stereoCount,
                                                                mono,   monoGain,   monoCount};
                    audio::voiceloop::addSteady(got.data(), frames, voices, variant);
                    for (std::size_t i = 0; i < got.size(); ++i) {
                        ASSERT_NEAR(got[i], expected[i], 1e-6f)
                            << (variant == audio::voiceloop::Variant::Avx2 ? "avx2" : "sse2") << ", "
                            << stereoCount << " stereo, " << monoCount << " mono, " << frames
                            << " frames, value " << i;
                    }
                }
            }
        }
    }
}

// What the mixer renders from a 16-bit sample equals the sum of the float
// values it stands for times the gain, including fades and late starts:
// the output stays within 1 LSB of 16-bit audio of the float engine's.
TEST(SampleFormat, MixerOutputMatchesFloatReference) {
    std::vector<float> tone(2 * 3000);
    for (std::size_t i = 0; i < tone.size(); ++i) {
        tone[i] =
            0.6f * std::sin(0.013f * static_cast<float>(i)) * std::exp(-0.0005f * static_cast<float>(i));
    }
    for (int channels : {1, 2}) {
        const auto sample = audio::makeSample(
            "tone", channels, 48000, std::vector<float>(tone.begin(), tone.begin() + 3000 * channels));
        audio::MixerConfig config;
        config.busGain = 0.25f; // below the limiter's knee
        audio::Mixer mixer(config);
        const auto first = mixer.openVoice(sample.get());
        const auto second = mixer.openVoice(sample.get());
        ASSERT_TRUE(first && second);
        mixer.play(*first, 0, 0.9f);
        mixer.play(*second, 77, 0.5f);
        std::vector<float> out(2 * 4000, 0.0f);
        mixer.render(out.data(), 250);
        mixer.close(*second); // fades out from frame 250
        for (int at = 250; at < 4000; at += 250) {
            mixer.render(out.data() + 2 * at, 250);
        }
        const double fadeFrames = 5.0 * 48000 / 1000;
        for (int f = 0; f < 4000; ++f) {
            for (int c = 0; c < 2; ++c) {
                const auto value = [&](int frame) {
                    return frame < 0 || frame >= 3000 ? 0.0
                                                      : sample->valueAt(static_cast<std::size_t>(
                                                            frame * channels + (channels == 2 ? c : 0)));
                };
                double fade = f < 250 ? 1.0 : std::max(0.0, 1.0 - (f - 250) / fadeFrames);
                const double expected = 0.25 * (0.9 * value(f) + 0.5 * fade * value(f - 77));
                ASSERT_NEAR(out[static_cast<std::size_t>(2 * f + c)], expected, 1.0 / 32768)
                    << channels << " channels, frame " << f;
            }
        }
    }
}

} // namespace

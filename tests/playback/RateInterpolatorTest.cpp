// The voices' sum brought from the samples' 48 kHz to another device rate:
// its error against libsamplerate's best converter, and strikes that keep
// their frames.

#include "playback/audio/RateInterpolator.h"
#include "playback/audio/Mixer.h"
#include "playback/audio/SampleDecoder.h"

#include <gtest/gtest.h>
#include <samplerate.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr int kVoiceRate = 48000;
constexpr double kPi = 3.14159265358979323846;

// A bell of a second and a half, stereo, at 16 bits like the installation's:
// partials from the hum to 9 kHz with their own decays, and a strike of
// broadband noise over the first 8 ms that reaches the top of the band.
std::vector<float> synthBell() {
    const int frames = 3 * kVoiceRate / 2;
    const double partials[][3] = {{110, 0.30, 1.2},  {220, 0.25, 0.9},  {264, 0.20, 0.8},
                                  {330, 0.15, 0.7},  {440, 0.12, 0.6},  {1020, 0.08, 0.4},
                                  {2750, 0.05, 0.2}, {5600, 0.03, 0.1}, {9100, 0.02, 0.05}};
    std::mt19937 random(7);
    std::uniform_real_distribution<double> noise(-1.0, 1.0);
    std::vector<float> data(static_cast<std::size_t>(2 * frames));
    for (int f = 0; f < frames; ++f) {
        const double t = static_cast<double>(f) / kVoiceRate;
        double value = 0.0;
        for (const auto& p : partials) {
            value += p[1] * std::exp(-t / p[2]) * std::sin(2.0 * kPi * p[0] * t);
        }
        value += 0.1 * std::exp(-t / 0.002) * noise(random);
        for (int c = 0; c < 2; ++c) {
            const double channel = c == 0 ? value : 0.8 * value;
            data[static_cast<std::size_t>(2 * f + c)] =
                static_cast<float>(std::lrint(channel * 32767.0) / 32768.0);
        }
    }
    return data;
}

std::vector<float> convertWithReference(const std::vector<float>& in, int toRate) {
    const long inFrames = static_cast<long>(in.size() / 2);
    const double ratio = static_cast<double>(toRate) / kVoiceRate;
    std::vector<float> out(static_cast<std::size_t>(2 * (std::ceil(inFrames * ratio) + 64)));
    SRC_DATA job{};
    job.data_in = in.data();
    job.input_frames = inFrames;
    job.data_out = out.data();
    job.output_frames = static_cast<long>(out.size() / 2);
    job.src_ratio = ratio;
    job.end_of_input = 1;
    EXPECT_EQ(src_simple(&job, SRC_SINC_BEST_QUALITY, 2), 0);
    out.resize(static_cast<std::size_t>(2 * job.output_frames_gen));
    return out;
}

std::vector<float> convertWithInterpolator(const std::vector<float>& in, int toRate, std::size_t outFrames) {
    const audio::RateInterpolator interpolator(kVoiceRate, toRate);
    // Silence on both sides of the sound, as the mixer's bus has.
    const std::int64_t pad = audio::RateInterpolator::kTaps;
    std::vector<float> padded(in.size() + static_cast<std::size_t>(4 * pad), 0.0f);
    std::copy(in.begin(), in.end(), padded.begin() + 2 * pad);
    std::vector<float> out(2 * outFrames);
    interpolator.process(padded.data(), -pad, out.data(), 0, static_cast<int>(outFrames));
    return out;
}

// The part of `values` (one channel of interleaved stereo) below 20 kHz: a
// long Kaiser-windowed sinc low-pass, far sharper than the filters compared.
std::vector<double> audibleBand(const std::vector<float>& values, int channel, int rate) {
    constexpr int kHalf = 200;
    const double cutoff = 20000.0 / rate;
    std::vector<double> taps(2 * kHalf + 1);
    for (int k = -kHalf; k <= kHalf; ++k) {
        const double x = static_cast<double>(k) / (kHalf + 1);
        const double window =
            std::cyl_bessel_i(0.0, 12.0 * std::sqrt(1.0 - x * x)) / std::cyl_bessel_i(0.0, 12.0);
        const double arg = 2.0 * cutoff * k;
        taps[static_cast<std::size_t>(k + kHalf)] =
            2.0 * cutoff * (k == 0 ? 1.0 : std::sin(kPi * arg) / (kPi * arg)) * window;
    }
    const int frames = static_cast<int>(values.size() / 2);
    std::vector<double> out(static_cast<std::size_t>(frames), 0.0);
    for (int f = 0; f < frames; ++f) {
        double sum = 0.0;
        for (int k = std::max(0, f - kHalf); k <= std::min(frames - 1, f + kHalf); ++k) {
            sum += taps[static_cast<std::size_t>(k - f + kHalf)] *
                   values[static_cast<std::size_t>(2 * k + channel)];
        }
        out[static_cast<std::size_t>(f)] = sum;
    }
    return out;
}

} // namespace

// Catches a filter too short, too soft at the top of the band or off by a
// fraction of a frame: its error in the audible band against the best
// converter must stay 90 dB below the bell, at the device rates sound cards
// run at besides 48 kHz.
TEST(RateInterpolatorTest, ErrorAgainstTheBestConverterStaysBelowMinus90dB) {
    const std::vector<float> bell = synthBell();
    for (const int rate : {44100, 88200, 96000}) {
        SCOPED_TRACE(rate);
        ASSERT_TRUE(audio::RateInterpolator::serves(kVoiceRate, rate));
        const std::vector<float> reference = convertWithReference(bell, rate);
        const std::vector<float> ours = convertWithInterpolator(bell, rate, reference.size() / 2);
        std::vector<float> difference(reference.size());
        for (std::size_t i = 0; i < reference.size(); ++i) {
            difference[i] = ours[i] - reference[i];
        }
        double signal = 0.0;
        double error = 0.0;
        for (int c = 0; c < 2; ++c) {
            for (const double v : audibleBand(reference, c, rate)) {
                signal += v * v;
            }
            for (const double v : audibleBand(difference, c, rate)) {
                error += v * v;
            }
        }
        const double decibels = 10.0 * std::log10(error / signal);
        RecordProperty("error_db_" + std::to_string(rate), std::to_string(decibels));
        std::printf("%d Hz: error %.1f dB below the signal\n", rate, -decibels);
        EXPECT_LT(decibels, -90.0);
    }
}

// Catches a strike that sounds a frame early or late at 44.1 kHz, a start
// on the very first frame (where the filter reads before the first voice
// frame) and starts on the edges of a block and of the 147-frame phase cycle.
TEST(RateInterpolatorTest, StrikeAt44kSoundsOnItsFrame) {
    constexpr int kDeviceRate = 44100;
    constexpr float kLevel = 0.25f;
    // A level held from the first frame: the sound is at half of it on the
    // frame it starts on.
    const auto sample = audio::makeSample("step", 1, kVoiceRate, std::vector<float>(4000, kLevel));
    // Device blocks of 256 frames, and one block of 6000 that the mixer
    // renders in several stretches of its bus.
    for (const int block : {256, 6000}) {
        for (const std::int64_t target : {0, 1, 146, 147, 255, 256, 1000, 1023, 1024, 4409}) {
            SCOPED_TRACE(testing::Message() << target << " in blocks of " << block);
            audio::MixerConfig config;
            config.sampleRate = kDeviceRate;
            config.voiceRate = kVoiceRate;
            audio::Mixer mixer(config);
            ASSERT_EQ(mixer.voiceRate(), kVoiceRate);
            mixer.setStartReports(true);
            const auto handle = mixer.openVoice(sample.get());
            ASSERT_TRUE(handle);
            ASSERT_TRUE(mixer.play(*handle, target));
            std::vector<float> out(2 * 6000);
            for (int done = 0; done < 6000; done += block) {
                mixer.render(out.data() + 2 * done, std::min(block, 6000 - done));
            }
            std::int64_t onset = -1;
            for (std::int64_t f = 0; f < 6000 && onset < 0; ++f) {
                if (out[static_cast<std::size_t>(2 * f)] >= 0.5f * kLevel) {
                    onset = f;
                }
            }
            EXPECT_EQ(onset, target);
            // Past the filter's ringing the level holds, across the seams
            // between the blocks and the bus's stretches.
            int off = 0;
            for (std::int64_t f = target + 40; f < std::min<std::int64_t>(6000, target + 3600); ++f) {
                off += std::fabs(out[static_cast<std::size_t>(2 * f)] - kLevel) > 1e-5f;
            }
            EXPECT_EQ(off, 0);
            audio::StartReport report;
            ASSERT_TRUE(mixer.takeStartReport(report));
            EXPECT_EQ(report.startFrame, target);
            EXPECT_EQ(mixer.lateStarts(), 0u);
            EXPECT_EQ(mixer.frameClock(), 6000);
        }
    }
}

// Catches a pair of rates the filter would alias (a device far below the
// samples' rate) being mixed through it instead of converting the samples.
TEST(RateInterpolatorTest, VoiceRateFallsBackToTheDeviceWhereTheFilterDoesNotServe) {
    struct Case {
        int device;
        int voice;
    };
    for (const Case c : {Case{48000, 48000}, Case{44100, 48000}, Case{96000, 48000}, Case{192000, 48000},
                         Case{32000, 32000}, Case{22050, 22050}, Case{44099, 44099}}) {
        EXPECT_EQ(audio::Mixer::voiceRateFor(kVoiceRate, c.device), c.voice) << c.device;
    }
}

// The bell samples the build wrote into the runnable installation, measured
// as a listener would judge them.

#include "BellSample.h"
#include "BellTestSupport.h"

#include <sndfile.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

using namespace bellmeasure;

namespace {

constexpr int kRows = 3;
constexpr int kBells = 15;

std::string samplePath(int row, bool stereo, int bell) {
    return std::string(CAMPANIX_RUNTIME_DIR) + "/Sound/Model" + std::to_string(row + 1) +
           (stereo ? "/Stereo/" : "/Mono/") + bellsynth::sampleFileName(bell);
}

// Every file is read once, whole, and kept for all the tests.
const Audio& sample(int row, bool stereo, int bell) {
    static std::map<std::string, Audio> cache;
    const std::string path = samplePath(row, stereo, bell);
    auto it = cache.find(path);
    if (it == cache.end()) {
        std::string error;
        std::optional<Audio> a = readAudio(path, error);
        if (!a) {
            ADD_FAILURE() << error;
            a = Audio{};
        }
        it = cache.emplace(path, std::move(*a)).first;
    }
    return it->second;
}

double correlation(const std::vector<float>& a, const std::vector<float>& b, size_t count) {
    double ab = 0.0, aa = 0.0, bb = 0.0;
    for (size_t i = 0; i < std::min({count, a.size(), b.size()}); ++i) {
        ab += double(a[i]) * b[i];
        aa += double(a[i]) * a[i];
        bb += double(b[i]) * b[i];
    }
    return ab / std::sqrt(aa * bb + 1e-30);
}

} // namespace

// Format, length and ending: 48 kHz 16-bit PCM, two channels or one; the
// largest bell rings 20 s or more, none less than 5 s; the file ends in
// digital silence after a fade, with no step that would click.
TEST(BellFiles, FormatLengthAndSilentEnding) {
    for (int row = 0; row < kRows; ++row) {
        for (bool stereo : {true, false}) {
            for (int bell = 0; bell < kBells; ++bell) {
                const Audio& a = sample(row, stereo, bell);
                const std::string what = samplePath(row, stereo, bell);
                ASSERT_GT(a.frames(), 0u) << what;
                EXPECT_EQ(a.sampleRate, 48000) << what;
                EXPECT_EQ(a.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16) << what;
                EXPECT_EQ(a.channels.size(), stereo ? 2u : 1u) << what;
                EXPECT_GE(a.seconds(), bell == 0 ? 20.0 : 5.0) << what;
                const size_t silence = static_cast<size_t>(0.015 * a.sampleRate);
                const size_t fadeFrom = a.frames() - static_cast<size_t>(0.25 * a.sampleRate);
                for (const std::vector<float>& c : a.channels) {
                    for (size_t i = a.frames() - silence; i < a.frames(); ++i) {
                        ASSERT_EQ(c[i], 0.0f) << what << " frame " << i;
                    }
                    float step = 0.0f;
                    for (size_t i = fadeFrom + 1; i < a.frames(); ++i) {
                        step = std::max(step, std::abs(c[i] - c[i - 1]));
                    }
                    EXPECT_LT(step, 0.002f) << what;
                }
            }
        }
    }
}

// No sample clips or reaches above -1 dBFS, and each file lasts until it has
// fallen 60 dB below its peak, no shorter and not much longer.
TEST(BellFiles, PeakLimitAndRingUntilSixtyDecibelsDown) {
    for (int row = 0; row < kRows; ++row) {
        for (bool stereo : {true, false}) {
            for (int bell = 0; bell < kBells; ++bell) {
                const Audio& a = sample(row, stereo, bell);
                const std::string what = samplePath(row, stereo, bell);
                EXPECT_LE(peakDbfs(a), -1.0) << what;
                // The last 0.3 s before the fade: about 60 dB under the peak
                // (a tone of that amplitude has an RMS 3 dB lower still),
                // give or take the beats of the partials that remain.
                const size_t tail = static_cast<size_t>(0.3 * a.sampleRate);
                const size_t end = a.frames() - static_cast<size_t>(0.1 * a.sampleRate);
                const double below = rmsDbfs(a, end - tail, tail) - peakDbfs(a);
                EXPECT_GT(below, -76.0) << what << " rings on long after it has died away";
                EXPECT_LT(below, -57.0) << what << " is cut short";
            }
        }
    }
}

// The mono file is the mix of both channels, not one of them; the stereo
// file is truly two channels, yet loses little when summed to mono.
TEST(BellFiles, MonoIsAMixAndStereoIsStereo) {
    for (int row = 0; row < kRows; ++row) {
        for (int bell : {0, 4, 7, 10, 14}) {
            const Audio& s = sample(row, true, bell);
            const Audio& m = sample(row, false, bell);
            const std::string what = samplePath(row, true, bell);
            const size_t n = static_cast<size_t>(3.0 * s.sampleRate);
            const std::vector<float>& left = s.channels.at(0);
            const std::vector<float>& right = s.channels.at(1);
            const std::vector<float> sum = s.mono();
            const double lr = correlation(left, right, n);
            EXPECT_LT(lr, 0.995) << what << ": the channels are nearly the same";
            EXPECT_GT(lr, 0.5) << what << ": the channels have little in common";
            double both = 0.0, mid = 0.0;
            for (size_t i = 0; i < n; ++i) {
                both += 0.5 * (double(left[i]) * left[i] + double(right[i]) * right[i]);
                mid += double(sum[i]) * sum[i];
            }
            EXPECT_GT(10.0 * std::log10(mid / both), -1.5) << what << ": the channels cancel in mono";
            // The mono file differs from the mix by little more than rounding,
            // from either channel by far more.
            const double mixMisfit = 1.0 - correlation(m.channels.at(0), sum, n);
            EXPECT_LT(mixMisfit, 1e-4) << samplePath(row, false, bell);
            EXPECT_LT(mixMisfit * 5.0, 1.0 - correlation(m.channels.at(0), left, n))
                << "mono is the left channel";
            EXPECT_LT(mixMisfit * 5.0, 1.0 - correlation(m.channels.at(0), right, n))
                << "mono is the right channel";
        }
    }
}

// Bell 0 sounds lowest, bell 14 highest: the strike pitch rises with every
// bell in every row, by at least half a semitone, and every smaller bell dies
// away sooner: a faster decay and a shorter sample.
TEST(BellFiles, StrikePitchRisesAndRingTimeFalls) {
    for (int row = 0; row < kRows; ++row) {
        double lastStrike = 0.0;
        double lastDecay = 1e9;
        double lastLength = 1e9;
        for (int bell = 0; bell < kBells; ++bell) {
            const Audio& a = sample(row, false, bell);
            const std::string what = "row " + std::to_string(row + 1) + " bell " + std::to_string(bell);
            const std::vector<float>& x = a.channels.at(0);
            const double strike = strikePitchOf(x.data(), x.size(), a.sampleRate);
            EXPECT_GT(strike, lastStrike * std::pow(2.0, 50.0 / 1200.0))
                << what << " is not above the bell before";
            lastStrike = strike;
            const double decay = measureDecay(a).t60Seconds;
            EXPECT_LT(decay, lastDecay) << what << " rings longer than the bell before";
            EXPECT_LT(a.seconds(), lastLength) << what << " lasts longer than the bell before";
            lastDecay = decay;
            lastLength = a.seconds();
        }
    }
}

// The largest bells are loudest, yet no bell jumps out of its neighbours:
// loudness steps gently down the row and rows match one another.
TEST(BellFiles, LoudnessFallsGentlyAlongTheRow) {
    std::vector<double> firstOfRow;
    for (int row = 0; row < kRows; ++row) {
        for (bool stereo : {true, false}) {
            std::vector<double> loud;
            for (int bell = 0; bell < kBells; ++bell) {
                const Audio& a = sample(row, stereo, bell);
                loud.push_back(loudnessDb(a, static_cast<size_t>(a.sampleRate)));
            }
            const std::string what = "row " + std::to_string(row + 1) + (stereo ? " stereo" : " mono");
            EXPECT_GT(loud[0], loud[14] + 3.0) << what;
            for (int bell = 1; bell < kBells; ++bell) {
                EXPECT_LT(loud[bell], loud[bell - 1] + 0.25)
                    << what << " bell " << bell << " louder than the one before";
                EXPECT_GT(loud[bell], loud[bell - 1] - 1.5) << what << " bell " << bell << " drops out";
            }
            if (stereo) {
                firstOfRow.push_back(loud[0]);
            }
        }
    }
    for (double l : firstOfRow) {
        EXPECT_NEAR(l, firstOfRow.front(), 1.0);
    }
}

// The installed samples are what the generator makes now: a stale file left
// over from an older table would fail here.
TEST(BellFiles, InstalledSamplesMatchAFreshRun) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("bellsynth-files-" + std::to_string(::getpid()));
    const std::string command = std::string("'") + BELLSYNTH_EXE + "' --table '" + BELLSYNTH_TABLE +
                                "' --out '" + dir.string() + "' --only 2:14 > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const auto read = [](const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    for (bool stereo : {true, false}) {
        const std::string fresh =
            read((dir / "Model2" / (stereo ? "Stereo" : "Mono") / bellsynth::sampleFileName(14)).string());
        EXPECT_FALSE(fresh.empty());
        EXPECT_TRUE(fresh == read(samplePath(1, stereo, 14))) << samplePath(1, stereo, 14);
    }
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}

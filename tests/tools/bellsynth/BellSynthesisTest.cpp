// The synthesized bells, measured: partials where the table puts them, the
// decay order of a bell, the clapper's filtering of the strike, the onset,
// and the levels and ending of a finished sample.

#include "BellModel.h"
#include "BellRender.h"
#include "BellSample.h"
#include "BellTestSupport.h"

#include <gtest/gtest.h>

#include <map>

using namespace bellsynth;
using belltest::levelNear;
using belltest::nearestCents;
using belltest::table;

namespace {

constexpr double kRate = 48000.0;

std::vector<float> monoOf(const StereoBuffer& s, size_t from = 0, size_t count = SIZE_MAX) {
    const size_t to = std::min(s.frames(), count == SIZE_MAX ? SIZE_MAX : from + count);
    std::vector<float> m;
    for (size_t i = from; i < to; ++i) {
        m.push_back(0.5f * (s.left[i] + s.right[i]));
    }
    return m;
}

// A bell without its strike noise: noise peaks would be found near any
// frequency and hide a missing partial.
BellVoice quietVoice(int row, int bell) {
    BellVoice v = buildBellVoice(table().rows.at(static_cast<size_t>(row)), bell, kRate);
    v.noiseRms = 0.0;
    return v;
}

// Names the partials of `v` that no spectral peak places within `tolerance`
// cents of the partial or, for a doublet, of one of its two components. Each
// partial is looked for in a window suited to its decay: long for the low,
// slow partials, whose doublets need the resolution, short for the fast ones,
// which a long window would bury.
std::vector<std::string> misplacedPartials(const BellVoice& v, const BellRow& row, double tolerance) {
    const StereoBuffer s = renderBell(v, static_cast<size_t>(2.0 * kRate));
    const std::vector<float> mono = monoOf(s);
    std::map<double, std::vector<bellmeasure::Peak>> analyses;
    std::vector<std::string> missing;
    for (const PartialPlace& p : v.places) {
        double window = 2.0;
        for (double w : {0.05, 0.1, 0.25, 0.5, 1.0}) {
            if (p.t60 / 3.0 < w) {
                window = w;
                break;
            }
        }
        if (analyses.count(window) == 0) {
            analyses[window] = bellmeasure::spectralPeaks(mono.data(), static_cast<size_t>(window * kRate),
                                                          kRate, 90.0, 1000);
        }
        const std::vector<bellmeasure::Peak>& peaks = analyses[window];
        const double off = std::min(
            {nearestCents(peaks, p.centreHz), nearestCents(peaks, p.lowHz), nearestCents(peaks, p.highHz)});
        if (off > tolerance) {
            missing.push_back(row.partials[static_cast<size_t>(p.partial)].name + " at " +
                              std::to_string(p.centreHz) + " Hz, nearest peak " + std::to_string(off) +
                              " cents away");
        }
    }
    return missing;
}

} // namespace

// Every partial of the table sounds within 10 cents of where the table puts
// it, for the largest, a middle and the smallest bell of each row.
TEST(BellSynthesis, EveryPartialSoundsWithinTenCentsOfItsTarget) {
    for (int row = 0; row < kRowCount; ++row) {
        for (int bell : {0, 7, 14}) {
            const BellVoice v = quietVoice(row, bell);
            const std::vector<std::string> missing = misplacedPartials(v, table().rows[row], 10.0);
            EXPECT_TRUE(missing.empty()) << "row " << row + 1 << " bell " << bell << ": " << missing.front();
        }
    }
}

// The check above does find a partial that is out of place: the tierce moved
// by 20 cents is reported.
TEST(BellSynthesis, AMistunedPartialIsCaught) {
    BellVoice v = quietVoice(0, 7);
    const BellRow& row = table().rows[0];
    int tierce = -1;
    for (size_t i = 0; i < row.partials.size(); ++i) {
        tierce = row.partials[i].name == "tierce" ? static_cast<int>(i) : tierce;
    }
    ASSERT_GE(tierce, 0);
    for (Mode& m : v.modes) {
        if (m.partial == tierce) {
            m.freqHz *= std::pow(2.0, 20.0 / 1200.0);
        }
    }
    const std::vector<std::string> missing = misplacedPartials(v, row, 10.0);
    ASSERT_EQ(missing.size(), 1u);
    EXPECT_EQ(missing.front().rfind("tierce", 0), 0u);
}

// Hum and tierce ring longest (the fundamental for a plate): between the
// first two seconds and the two after the fourth, every other partial loses
// more level. Each stretch is measured in three overlapping parts whose
// power is averaged, so that the beats of the doublets do not decide.
TEST(BellSynthesis, HumAndTierceRingLongest) {
    for (int row = 0; row < kRowCount; ++row) {
        const BellRow& rowEntry = table().rows[row];
        const bool plate = rowEntry.strikeRatio >= 1.0;
        for (int bell : {0, 7, 14}) {
            const BellVoice v = quietVoice(row, bell);
            const StereoBuffer s = renderBell(v, static_cast<size_t>(6.0 * kRate));
            const std::vector<float> early = monoOf(s, 0, static_cast<size_t>(2.0 * kRate));
            const std::vector<float> late =
                monoOf(s, static_cast<size_t>(4.0 * kRate), static_cast<size_t>(2.0 * kRate));
            const auto first = bellmeasure::spectralPeaks(early.data(), early.size(), kRate, 120.0, 1000, 3);
            const auto last = bellmeasure::spectralPeaks(late.data(), late.size(), kRate, 120.0, 1000, 3);
            // Levels are relative to the strongest peak of each window; the
            // offset is common to all partials and leaves their order alone.
            std::map<std::string, double> loss;
            for (const PartialPlace& p : v.places) {
                const double width = std::max(15.0, bellmeasure::cents(p.lowHz, p.highHz));
                const double a = levelNear(first, p.centreHz, width);
                const double b = levelNear(last, p.centreHz, width);
                loss[rowEntry.partials[p.partial].name] = std::isfinite(b) ? a - b : 200.0;
            }
            const std::vector<std::string> longest =
                plate ? std::vector<std::string>{"fundamental"} : std::vector<std::string>{"hum", "tierce"};
            double slowest = -HUGE_VAL;
            for (const std::string& name : longest) {
                ASSERT_EQ(loss.count(name), 1u) << name;
                slowest = std::max(slowest, loss[name]);
            }
            for (const auto& [name, l] : loss) {
                if (std::find(longest.begin(), longest.end(), name) == longest.end()) {
                    EXPECT_GT(l, slowest - 1.0) << "row " << row + 1 << " bell " << bell << ": " << name
                                                << " outlasts the longest partials";
                }
            }
        }
    }
}

// The strike noise follows the clapper: a short contact clicks brightly, a
// long one thuds; either way it is over within a few milliseconds.
TEST(BellSynthesis, StrikeNoiseIsShortAndFilteredByTheContact) {
    const auto noiseOnly = [](double contactMs) {
        BellVoice v = buildBellVoice(table().rows[0], 7, kRate);
        v.modes.clear();
        v.reflections.clear();
        v.noiseRms = 0.1;
        v.contactMs = contactMs;
        return monoOf(renderBell(v, static_cast<size_t>(0.1 * kRate)));
    };
    const auto centroid = [](const std::vector<float>& x) {
        const auto peaks = bellmeasure::spectralPeaks(x.data(), x.size(), kRate, 40.0, 2000);
        double sw = 0.0, swf = 0.0;
        for (const auto& p : peaks) {
            const double w = std::pow(10.0, p.levelDb / 10.0);
            sw += w;
            swf += w * p.freqHz;
        }
        return swf / sw;
    };
    const std::vector<float> thud = noiseOnly(2.0);
    const std::vector<float> click = noiseOnly(0.5);
    EXPECT_GT(centroid(click), 1.8 * centroid(thud));
    for (const std::vector<float>* x : {&thud, &click}) {
        double total = 0.0, after = 0.0;
        for (size_t i = 0; i < x->size(); ++i) {
            total += (*x)[i] * (*x)[i];
            after += i > static_cast<size_t>(0.03 * kRate) ? (*x)[i] * (*x)[i] : 0.0;
        }
        EXPECT_LT(after, 0.01 * total);
    }
}

// A struck bell starts from silence and is at full strength within the
// first 50 ms: no click before the strike, no delay after it.
TEST(BellSynthesis, StrikeStartsFromSilenceAtOnce) {
    for (int row = 0; row < kRowCount; ++row) {
        const BellVoice v = buildBellVoice(table().rows[row], 0, kRate);
        const StereoBuffer s = renderBell(v, static_cast<size_t>(0.5 * kRate));
        EXPECT_EQ(s.left[0], 0.0f);
        EXPECT_EQ(s.right[0], 0.0f);
        size_t at = 0;
        for (size_t i = 0; i < s.frames(); ++i) {
            if (std::abs(s.left[i]) > std::abs(s.left[at])) {
                at = i;
            }
        }
        EXPECT_LT(at, static_cast<size_t>(0.05 * kRate)) << "row " << row + 1;
    }
}

// A finished sample: at its loudness, under the peak limit, ending in
// silence after a fade without a step, the same every time it is made.
TEST(BellSynthesis, FinishedSampleLevelsAndEnding) {
    const BellVoice v = buildBellVoice(table().rows[0], 14, kRate);
    const MasteredBell m = masterBell(v);
    EXPECT_NEAR(m.stereoLoudnessDb, v.loudnessDb, 0.05);
    EXPECT_NEAR(m.monoLoudnessDb, v.loudnessDb, 0.05);
    EXPECT_LE(m.stereoPeakDb, kPeakLimitDb);
    EXPECT_LE(m.monoPeakDb, kPeakLimitDb);
    const std::vector<std::int16_t> pcm =
        toPcm16({m.stereo.left.data(), m.stereo.right.data()}, m.stereo.frames(), m.stereoFadeStart, 1);
    ASSERT_EQ(pcm.size(), m.stereo.frames() * 2);
    const size_t silence = static_cast<size_t>(kSilenceSeconds * kRate) * 2;
    for (size_t i = pcm.size() - silence; i < pcm.size(); ++i) {
        ASSERT_EQ(pcm[i], 0) << "sample " << i;
    }
    int largestStep = 0;
    for (size_t i = m.stereoFadeStart * 2 + 2; i < pcm.size(); ++i) {
        largestStep = std::max(largestStep, std::abs(pcm[i] - pcm[i - 2]));
    }
    EXPECT_LT(largestStep, 60); // -60 dB under the peak is about 30 steps of 16 bits
    const MasteredBell again = masterBell(v);
    EXPECT_EQ(again.stereo.left, m.stereo.left);
    EXPECT_EQ(again.mono, m.mono);
}

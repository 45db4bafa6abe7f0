// The measurements the bell sounds are judged by, checked on signals whose
// answers are known.

#include "playback/audio/analysis/BellAnalysis.h"
#include "playback/audio/analysis/Fft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

using namespace bellmeasure;

namespace {

constexpr double kRate = 48000.0;

struct Tone {
    double hz;
    double amp;
    double t60; // 0 = steady
};

std::vector<float> tones(const std::vector<Tone>& parts, double seconds) {
    std::vector<float> x(static_cast<size_t>(seconds * kRate));
    for (size_t i = 0; i < x.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        double v = 0.0;
        for (const Tone& p : parts) {
            const double env = p.t60 > 0.0 ? std::pow(10.0, -3.0 * t / p.t60) : 1.0;
            v += p.amp * env * std::sin(2.0 * std::numbers::pi * p.hz * t);
        }
        x[i] = static_cast<float>(v);
    }
    return x;
}

Audio audioOf(std::vector<std::vector<float>> channels) {
    Audio a;
    a.sampleRate = static_cast<int>(kRate);
    a.channels = std::move(channels);
    return a;
}

std::vector<Peak> peaksOf(const std::vector<Tone>& parts, double seconds = 1.0) {
    const std::vector<float> x = tones(parts, seconds);
    return spectralPeaks(x.data(), x.size(), kRate);
}

} // namespace

// The transform agrees with a plain DFT: a wrong twiddle or bit reversal
// would move every peak.
TEST(BellAnalysis, FftAgreesWithDirectTransform) {
    std::vector<std::complex<double>> data(64);
    for (size_t i = 0; i < data.size(); ++i) {
        data[i] = {std::sin(0.37 * i) + 0.1 * i, std::cos(1.3 * i)};
    }
    std::vector<std::complex<double>> fast = data;
    fft(fast);
    for (size_t k = 0; k < data.size(); ++k) {
        std::complex<double> sum;
        for (size_t n = 0; n < data.size(); ++n) {
            sum += data[n] * std::polar(1.0, -2.0 * std::numbers::pi * double(k * n) / double(data.size()));
        }
        EXPECT_NEAR(std::abs(fast[k] - sum), 0.0, 1e-9) << "bin " << k;
    }
}

// Peak frequencies are exact to a fraction of a cent, for low and high tones,
// steady or decaying, and a partial 40 dB under a neighbour is still found.
TEST(BellAnalysis, FindsPeaksPreciselyAndWeakOnesBesideStrongOnes) {
    struct Case {
        std::vector<Tone> parts;
        double seconds;
    };
    const Case cases[] = {
        {{{63.0, 0.5, 0.0}}, 1.0},                        // a hum: 10 cents are 0.36 Hz here
        {{{1379.5, 0.5, 2.0}}, 1.0},                      // a decaying nominal
        {{{5040.0, 0.5, 0.8}, {10123.0, 0.2, 0.3}}, 0.3}, // a small bell, short window
        {{{500.0, 0.9, 0.0}, {530.0, 0.009, 0.0}}, 1.0},  // weak partial 40 dB down, 100 cents away
    };
    for (const Case& c : cases) {
        const std::vector<float> x = tones(c.parts, c.seconds);
        const std::vector<Peak> peaks = spectralPeaks(x.data(), x.size(), kRate);
        for (const Tone& t : c.parts) {
            double best = 1e9;
            for (const Peak& p : peaks) {
                best = std::min(best, std::abs(cents(t.hz, p.freqHz)));
            }
            EXPECT_LT(best, 0.5) << t.hz << " Hz";
        }
        ASSERT_FALSE(peaks.empty());
        EXPECT_NEAR(peaks.front().freqHz, c.parts.front().hz, c.parts.front().hz * 1e-3);
    }
    // A 40 dB difference is measured as such.
    const std::vector<Peak> two = peaksOf({{500.0, 0.9, 0.0}, {530.0, 0.009, 0.0}});
    ASSERT_GE(two.size(), 2u);
    EXPECT_NEAR(two[1].levelDb, -40.0, 0.5);
}

// The strike pitch is the fundamental the partials imply, even where nothing
// sounds at it (bells), and the lowest mode where they are not harmonic (plates).
TEST(BellAnalysis, StrikePitchOfHarmonicBellAndPlateSpectra) {
    struct Case {
        const char* what;
        std::vector<Tone> parts;
        double expected;
    };
    const double n = 800.0;
    const Case cases[] = {
        {"missing fundamental", {{400, 0.5, 0}, {600, 0.4, 0}, {800, 0.3, 0}}, 200.0},
        {"tuned bell: strike an octave under the nominal",
         {{0.25 * n, 0.3, 0},
          {0.5 * n, 0.3, 0},
          {0.6 * n, 0.5, 0},
          {n, 0.6, 0},
          {1.5 * n, 0.4, 0},
          {2.0 * n, 0.3, 0}},
         0.5 * n},
        {"bell with a weak prime and a seventh above the hum",
         {{0.265 * n, 0.3, 0},
          {0.5 * n, 0.1, 0},
          {0.61 * n, 0.4, 0},
          {n, 0.6, 0},
          {1.49 * n, 0.4, 0},
          {1.98 * n, 0.25, 0}},
         0.5 * n},
        {"plate", {{300, 0.6, 0}, {504, 0.3, 0}, {696, 0.25, 0}, {1146, 0.1, 0}, {1224, 0.1, 0}}, 300.0},
    };
    for (const Case& c : cases) {
        const std::vector<float> x = tones(c.parts, 0.3);
        EXPECT_NEAR(cents(c.expected, strikePitchOf(x.data(), x.size(), kRate)), 0.0, 15.0) << c.what;
    }
    EXPECT_EQ(strikePitch({}), 0.0);
}

// Decay measures: a tone decaying 60 dB in 3 s is measured as such, beats or
// not; a beating pair does not bend the decay rate.
TEST(BellAnalysis, MeasuresDecayTimes) {
    const Audio plain = audioOf({tones({{440.0, 0.8, 3.0}}, 4.0)});
    const Decay d = measureDecay(plain);
    EXPECT_NEAR(d.t60Seconds, 3.0, 0.1);
    EXPECT_NEAR(d.fall60Seconds, 3.0, 0.05);
    const Audio beating = audioOf({tones({{440.0, 0.5, 6.0}, {440.5, 0.2, 6.0}}, 7.0)});
    EXPECT_NEAR(measureDecay(beating).t60Seconds, 6.0, 0.4);
}

// Levels: a full-scale sine peaks at 0 dBFS with an RMS 3 dB lower; a 1 kHz
// sine at full scale in one channel reads -3 on the K-weighted scale, and a
// mono file counts as played on both loudspeakers.
TEST(BellAnalysis, PeakRmsAndLoudness) {
    const std::vector<float> sine = tones({{997.0, 1.0, 0.0}}, 1.0);
    const Audio mono = audioOf({sine});
    EXPECT_NEAR(peakDbfs(mono), 0.0, 0.01);
    EXPECT_NEAR(rmsDbfs(mono, 0, sine.size()), -3.01, 0.02);
    EXPECT_NEAR(loudnessDb(mono, sine.size()), 0.0, 0.15);
    const Audio oneSide = audioOf({sine, std::vector<float>(sine.size(), 0.0f)});
    EXPECT_NEAR(loudnessDb(oneSide, sine.size()), -3.01, 0.15);
    const Audio both = audioOf({sine, sine});
    EXPECT_NEAR(loudnessDb(both, sine.size()), loudnessDb(mono, sine.size()), 0.01);
    // The weighting discounts deep bass: a 40 Hz tone reads well under a 1 kHz one.
    const Audio bass = audioOf({tones({{40.0, 1.0, 0.0}}, 1.0)});
    EXPECT_LT(loudnessDb(bass, sine.size()), -1.5);
}

TEST(BellAnalysis, NoteNames) {
    EXPECT_EQ(noteName(440.0), "A4 +0c");
    EXPECT_EQ(noteName(261.6256), "C4 +0c");
    EXPECT_EQ(noteName(126.0), "B2 +35c");
    EXPECT_EQ(noteName(0.0), "-");
}

// A missing file is an error that names it, not an empty sound.
TEST(BellAnalysis, MissingFileIsReported) {
    std::string error;
    EXPECT_FALSE(readAudio("/nonexistent/bell01.wav", error).has_value());
    EXPECT_NE(error.find("/nonexistent/bell01.wav"), std::string::npos);
}

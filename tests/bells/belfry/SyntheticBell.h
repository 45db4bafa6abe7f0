#pragma once

// Recordings of struck bells whose answers are known: partials at fixed
// ratios of the nominal with their own decays, a strike that builds over a
// millisecond at a known frame, noise before and under it.

#include "playback/audio/analysis/BellAnalysis.h"

#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>
#include <vector>

namespace synthetic {

struct BellSpec {
    double nominalHz = 880.0;
    double peak = 0.5;         // loudest sample, linear
    double noiseDb = -50.0;    // white noise under the whole recording, relative to the peak
    double strikeSeconds = 0.3; // where the attack starts
    double seconds = 1.6;
    double t60 = 3.0; // of the hum; higher partials die sooner
    int rate = 48000;
    int channels = 1;
};

// A bell's partials: ratio to the nominal and level. The strike pitch of
// such a bell lies an octave below the nominal.
struct PartialSpec {
    double ratio;
    double amplitude;
};
inline const std::vector<PartialSpec> kPartials = {
    {0.25, 0.35}, {0.5, 0.4}, {0.6, 0.6}, {0.75, 0.15}, {1.0, 1.0}, {1.5, 0.5}, {2.0, 0.35}, {2.5, 0.15}};

inline std::uint32_t nextRandom(std::uint32_t& state) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

// Uniform noise of unit RMS.
inline double noiseSample(std::uint32_t& state) {
    return (static_cast<double>(nextRandom(state)) / 4294967295.0 * 2.0 - 1.0) * std::sqrt(3.0);
}

// The bell alone, `frames` long, attack at frame 0, before levels are set.
inline std::vector<double> ring(const BellSpec& s, size_t frames) {
    std::vector<double> x(frames, 0.0);
    const double contact = 0.001 * s.rate;
    for (const PartialSpec& p : kPartials) {
        const double hz = p.ratio * s.nominalHz;
        if (hz > 0.45 * s.rate) {
            continue;
        }
        const double t60 = s.t60 * std::pow(0.25 / p.ratio, 0.7);
        const double w = 2.0 * std::numbers::pi * hz / s.rate;
        const double fall = std::log(1000.0) / (t60 * s.rate);
        for (size_t n = 0; n < frames; ++n) {
            x[n] += p.amplitude * std::exp(-fall * static_cast<double>(n)) * std::sin(w * static_cast<double>(n));
        }
    }
    for (size_t n = 0; n < frames && static_cast<double>(n) < contact; ++n) {
        const double g = std::sin(std::numbers::pi / 2.0 * static_cast<double>(n) / contact);
        x[n] *= g * g;
    }
    return x;
}

inline bellmeasure::Audio recording(const BellSpec& s, std::uint32_t seed = 12345) {
    const size_t frames = static_cast<size_t>(s.seconds * s.rate);
    const size_t strike = static_cast<size_t>(s.strikeSeconds * s.rate);
    std::vector<double> bell = ring(s, frames > strike ? frames - strike : 0);
    double top = 1e-12;
    for (const double v : bell) {
        top = std::max(top, std::abs(v));
    }
    const double noise = s.peak * std::pow(10.0, s.noiseDb / 20.0);
    bellmeasure::Audio a;
    a.sampleRate = s.rate;
    for (int c = 0; c < s.channels; ++c) {
        std::vector<float> x(frames);
        for (size_t n = 0; n < frames; ++n) {
            const double b = n >= strike ? bell[n - strike] * s.peak / top : 0.0;
            x[n] = static_cast<float>(b + noise * noiseSample(seed));
        }
        a.channels.push_back(std::move(x));
    }
    return a;
}

// Adds another strike of the same bell at `seconds`.
inline void strikeAgain(bellmeasure::Audio& a, const BellSpec& s, double seconds, double level) {
    const size_t at = static_cast<size_t>(seconds * s.rate);
    const std::vector<double> bell = ring(s, a.frames() - at);
    double top = 1e-12;
    for (const double v : bell) {
        top = std::max(top, std::abs(v));
    }
    for (std::vector<float>& c : a.channels) {
        for (size_t n = 0; n < bell.size(); ++n) {
            c[at + n] += static_cast<float>(bell[n] * level / top);
        }
    }
}

// Writes a sound file in `format`; false when it cannot.
inline bool writeSound(const std::string& path, const bellmeasure::Audio& a,
                       int format = SF_FORMAT_WAV | SF_FORMAT_PCM_16) {
    SF_INFO info{};
    info.samplerate = a.sampleRate;
    info.channels = static_cast<int>(a.channels.size());
    info.format = format;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    if (f == nullptr) {
        return false;
    }
    std::vector<float> inter(a.frames() * a.channels.size());
    for (size_t i = 0; i < a.frames(); ++i) {
        for (size_t c = 0; c < a.channels.size(); ++c) {
            inter[i * a.channels.size() + c] = a.channels[c][i];
        }
    }
    const bool whole = sf_writef_float(f, inter.data(), static_cast<sf_count_t>(a.frames())) ==
                       static_cast<sf_count_t>(a.frames());
    return sf_close(f) == 0 && whole;
}

} // namespace synthetic

#include "BellRender.h"

#include "Random.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace bellsynth {

namespace {

const double kLn1000 = std::log(1000.0);

// Below this amplitude (the loudest partial is about 1) a mode is no longer
// computed: it lies some 140 dB under the bell.
constexpr double kNegligible = 1e-7;

// A mode as a complex rotation: one complex multiply per sample instead of a
// sine and an exponential.
struct Lane {
    size_t end = 0;
    double wr = 0.0, wi = 0.0; // rotation and decay per sample
    double lr = 0.0, li = 0.0; // left amplitude
    double rr = 0.0, ri = 0.0; // right amplitude
};

constexpr int kLanes = 4;

// Renders up to four modes side by side so that their multiplications
// overlap instead of waiting on one another.
void renderLanes(const Lane* lanes, int count, double* left, double* right) {
    double wr[kLanes] = {}, wi[kLanes] = {}, lr[kLanes] = {}, li[kLanes] = {};
    double rr[kLanes] = {}, ri[kLanes] = {}, ur[kLanes] = {}, ui[kLanes] = {};
    size_t end = 0;
    for (int k = 0; k < count; ++k) {
        wr[k] = lanes[k].wr;
        wi[k] = lanes[k].wi;
        lr[k] = lanes[k].lr;
        li[k] = lanes[k].li;
        rr[k] = lanes[k].rr;
        ri[k] = lanes[k].ri;
        ur[k] = 1.0;
        end = std::max(end, lanes[k].end);
    }
    for (size_t n = 0; n < end; ++n) {
        double sl = 0.0;
        double sr = 0.0;
        for (int k = 0; k < kLanes; ++k) {
            sl += lr[k] * ur[k] - li[k] * ui[k];
            sr += rr[k] * ur[k] - ri[k] * ui[k];
            const double t = ur[k] * wr[k] - ui[k] * wi[k];
            ui[k] = ur[k] * wi[k] + ui[k] * wr[k];
            ur[k] = t;
        }
        left[n] += sl;
        right[n] += sr;
    }
}

// The contact of the clapper takes a moment to build: every mode is faded in
// over the contact time. Right after it, a short splash common to all modes.
void applyOnsetAndSplash(const BellVoice& v, std::vector<double>& left, std::vector<double>& right) {
    const double fs = v.sampleRate;
    const size_t contact = std::max<size_t>(1, static_cast<size_t>(std::lround(v.contactMs * fs / 1000.0)));
    const double splashStep = std::exp(-kLn1000 / (v.splashT60 * fs));
    double splash = v.splashGain;
    for (size_t n = 0; n < left.size(); ++n) {
        double g = 1.0 + splash;
        splash *= splashStep;
        if (n < contact) {
            const double s = std::sin(std::numbers::pi / 2.0 * static_cast<double>(n) / contact);
            g *= s * s;
        } else if (splash < 1e-9) {
            break;
        }
        left[n] *= g;
        right[n] *= g;
    }
}

// Filtered noise of unit RMS: the clapper's contact time sets its upper
// corner, so a heavy clapper on a big bell thuds and a small one clicks.
std::vector<double> contactNoise(Random& rng, size_t frames, double lowpassHz, double fs) {
    std::vector<double> out(frames);
    const double lp = std::exp(-2.0 * std::numbers::pi * std::min(lowpassHz, 0.4 * fs) / fs);
    const double hp = 1.0 / (1.0 + 2.0 * std::numbers::pi * 300.0 / fs);
    double low = 0.0;
    double prev = 0.0;
    double high = 0.0;
    double power = 0.0;
    for (size_t n = 0; n < frames; ++n) {
        low = (1.0 - lp) * rng.symmetric(1.0) + lp * low;
        high = hp * (high + low - prev);
        prev = low;
        out[n] = high;
        power += high * high;
    }
    const double rms = std::sqrt(power / static_cast<double>(std::max<size_t>(frames, 1)));
    if (rms > 0.0) {
        for (double& x : out) {
            x /= rms;
        }
    }
    return out;
}

void addStrikeNoise(const BellVoice& v, std::vector<double>& left, std::vector<double>& right) {
    if (v.noiseRms <= 0.0) {
        return;
    }
    const double fs = v.sampleRate;
    const double contact = std::max(1.0, v.contactMs * fs / 1000.0);
    const double decay = std::max(1.0, v.noiseDecayMs * fs / 1000.0);
    const double bounce = v.bounceMs * fs / 1000.0;
    const size_t frames = std::min(left.size(), static_cast<size_t>(contact + bounce + 12.0 * decay));
    Random rng(v.noiseSeed);
    const double corner = 1000.0 / v.contactMs;
    const std::vector<double> common = contactNoise(rng, frames, corner, fs);
    const std::vector<double> ownLeft = contactNoise(rng, frames, corner, fs);
    const std::vector<double> ownRight = contactNoise(rng, frames, corner, fs);
    const auto hit = [&](double n) {
        if (n < 0.0) {
            return 0.0;
        }
        if (n < contact) {
            const double s = std::sin(std::numbers::pi / 2.0 * n / contact);
            return s * s;
        }
        return std::exp(-(n - contact) / decay);
    };
    const double norm = v.noiseRms / std::sqrt(1.0 + 0.25);
    for (size_t n = 0; n < frames; ++n) {
        const double t = static_cast<double>(n);
        const double e = norm * (hit(t) + v.bounceGain * hit(t - bounce));
        left[n] += e * (common[n] + 0.5 * ownLeft[n]);
        right[n] += e * (common[n] + 0.5 * ownRight[n]);
    }
}

// Early reflections of the belfry: each wall or beam returns the bell's sound
// to the two microphones at different delays, darkened by absorption.
void addReflections(const BellVoice& v, std::vector<double>& left, std::vector<double>& right) {
    const size_t frames = left.size();
    const double fs = v.sampleRate;
    std::vector<double> wetLeft(frames, 0.0);
    std::vector<double> wetRight(frames, 0.0);
    for (const Reflection& r : v.reflections) {
        const size_t dl = static_cast<size_t>(std::lround(r.delayLeftMs * fs / 1000.0));
        const size_t dr = static_cast<size_t>(std::lround(r.delayRightMs * fs / 1000.0));
        const double g = std::pow(10.0, r.gainDb / 20.0) / 2.0;
        for (size_t n = dl; n < frames; ++n) {
            wetLeft[n] += g * (left[n - dl] + right[n - dl]);
        }
        for (size_t n = dr; n < frames; ++n) {
            wetRight[n] += g * (left[n - dr] + right[n - dr]);
        }
    }
    const double a = std::exp(-2.0 * std::numbers::pi * std::min(v.roomLowpassHz, 0.4 * fs) / fs);
    double yl = 0.0;
    double yr = 0.0;
    for (size_t n = 0; n < frames; ++n) {
        yl = (1.0 - a) * wetLeft[n] + a * yl;
        yr = (1.0 - a) * wetRight[n] + a * yr;
        left[n] += yl;
        right[n] += yr;
    }
}

} // namespace

void addModes(const std::vector<Mode>& modes, double sampleRate, double* left, double* right, size_t frames) {
    std::vector<Lane> lanes;
    lanes.reserve(modes.size());
    for (const Mode& m : modes) {
        const double amp = std::max(std::abs(m.left), std::abs(m.right));
        if (amp <= kNegligible || m.t60 <= 0.0) {
            continue;
        }
        const double tau = m.t60 / kLn1000;
        const double life = tau * std::log(amp / kNegligible) * sampleRate;
        const double decay = std::exp(-1.0 / (tau * sampleRate));
        const double w = 2.0 * std::numbers::pi * m.freqHz / sampleRate;
        Lane lane;
        lane.end = std::min(frames, static_cast<size_t>(std::ceil(life)));
        lane.wr = decay * std::cos(w);
        lane.wi = decay * std::sin(w);
        lane.lr = m.left.real();
        lane.li = m.left.imag();
        lane.rr = m.right.real();
        lane.ri = m.right.imag();
        lanes.push_back(lane);
    }
    // Modes of like lifetime share a pass, so little is computed past an end.
    std::stable_sort(lanes.begin(), lanes.end(), [](const Lane& a, const Lane& b) { return a.end > b.end; });
    for (size_t g = 0; g < lanes.size(); g += kLanes) {
        const int count = static_cast<int>(std::min<size_t>(kLanes, lanes.size() - g));
        renderLanes(&lanes[g], count, left, right);
    }
}

size_t ringEndFrame(const BellVoice& v, double peak, double belowDb) {
    double roomPower = 1.0;
    for (const Reflection& r : v.reflections) {
        roomPower += std::pow(10.0, r.gainDb / 10.0);
    }
    const double limit = peak * std::pow(10.0, belowDb / 20.0);
    const double step = 0.01;
    double t = 0.0;
    for (; t < 600.0; t += step) {
        double left = 0.0;
        double right = 0.0;
        for (const Mode& m : v.modes) {
            const double fade = std::exp(-2.0 * kLn1000 * t / m.t60);
            left += std::norm(m.left) * fade;
            right += std::norm(m.right) * fade;
        }
        if (std::sqrt(std::max(left, right) * roomPower) <= limit) {
            break;
        }
    }
    return static_cast<size_t>(std::ceil(t * v.sampleRate));
}

StereoBuffer renderBell(const BellVoice& v, size_t frames) {
    std::vector<double> left(frames, 0.0);
    std::vector<double> right(frames, 0.0);
    addModes(v.modes, v.sampleRate, left.data(), right.data(), frames);
    applyOnsetAndSplash(v, left, right);
    addStrikeNoise(v, left, right);
    addReflections(v, left, right);
    StereoBuffer out;
    out.left.assign(left.begin(), left.end());
    out.right.assign(right.begin(), right.end());
    return out;
}

} // namespace bellsynth

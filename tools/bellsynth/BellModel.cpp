#include "BellModel.h"

#include "Random.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace bellsynth {

double contactGain(double freqHz, double contactMs) {
    const double x = freqHz * contactMs / 1000.0;
    return 1.0 / std::sqrt(1.0 + x * x);
}

namespace {

const double kLn1000 = std::log(1000.0);

double dbToGain(double db) {
    return std::pow(10.0, db / 20.0);
}

// The random choices of one partial. They are all drawn, in the same order,
// whether or not the partial is kept, so that leaving one partial out never
// changes the others.
struct PartialDraws {
    double scatter = 0.0;
    double doubletBalance = 0.0;
    double growlBeat = 0.0;
    double neighbourSign = 0.0;
    double neighbourSpacing = 0.0;
    double stereo[3][2] = {};

    explicit PartialDraws(Random& rng, double scatterCents, double levelSpread, double phaseSpread) {
        scatter = rng.symmetric(scatterCents);
        doubletBalance = 0.3 + 0.4 * rng.unit();
        growlBeat = 0.7 + 0.6 * rng.unit();
        neighbourSign = rng.unit() < 0.5 ? -1.0 : 1.0;
        neighbourSpacing = 0.8 + 0.4 * rng.unit();
        for (auto& s : stereo) {
            s[0] = rng.symmetric(levelSpread);
            s[1] = rng.symmetric(phaseSpread);
        }
    }
};

// A mode of mono amplitude `amp`, spread over the channels: each channel
// hears it a little louder or softer and a little earlier or later, as two
// microphones at different places around a bell do. The phase differences are
// kept small so that the sum of the channels loses little of any partial.
Mode spreadMode(double freqHz, double t60, double amp, const double stereo[2], int partial) {
    const double levelOffset = dbToGain(stereo[0] / 2.0);
    const double phase = stereo[1] * std::numbers::pi / 180.0;
    const double sinePhase = -std::numbers::pi / 2.0; // a struck mode starts from rest
    Mode m;
    m.freqHz = freqHz;
    m.t60 = t60;
    m.left = std::polar(amp * levelOffset, sinePhase + phase / 2.0);
    m.right = std::polar(amp / levelOffset, sinePhase - phase / 2.0);
    m.partial = partial;
    return m;
}

// The partner that makes a mode build up over `riseMs` instead of starting at
// full strength: the same mode, decaying faster, with the opposite sign.
Mode riseOf(const Mode& m, double riseMs) {
    Mode r = m;
    const double rate = kLn1000 / m.t60 + 1000.0 / riseMs;
    r.t60 = kLn1000 / rate;
    r.left = -m.left;
    r.right = -m.right;
    return r;
}

} // namespace

BellVoice buildBellVoice(const BellRow& row, int bell, double sampleRate) {
    const BellEntry& b = row.bells.at(static_cast<size_t>(bell));
    BellVoice v;
    v.sampleRate = sampleRate;
    v.nominalHz = row.nominalOf(bell);
    v.strikeHz = v.nominalHz * row.strikeRatio;
    v.contactMs = b.contactMs;
    v.splashGain = dbToGain(row.splashDb) - 1.0;
    v.splashT60 = row.splashT60;
    v.noiseDecayMs = row.noiseDecayMs;
    v.bounceMs = row.bounceMs;
    v.bounceGain = row.bounceGain;
    v.reflections = row.reflections;
    v.roomLowpassHz = row.roomLowpassHz;
    v.loudnessDb = row.loudnessDb + b.loudDb;
    v.noiseSeed = bellSeed(row.number, bell, 2);

    Random rng(bellSeed(row.number, bell, 1));
    const int reference = row.referencePartial();
    std::vector<PartialDraws> draws;
    std::vector<double> freqs;
    for (size_t i = 0; i < row.partials.size(); ++i) {
        const PartialEntry& p = row.partials[i];
        draws.emplace_back(rng, row.scatterCents, row.stereoSpreadDb, row.stereoSpreadDegrees);
        double cents = 1200.0 * std::log2(p.ratio) + p.stretch * b.stretchCents;
        if (p.name == "hum") {
            cents += b.humCents;
        }
        if (static_cast<int>(i) != reference) {
            cents += draws.back().scatter;
        }
        freqs.push_back(v.nominalHz * std::pow(2.0, cents / 1200.0));
    }
    const double lowestHz = *std::min_element(freqs.begin(), freqs.end());
    const double longestT60 = row.ringFactor * b.ringSeconds;
    const double highestHz = kHighestPartialShare * sampleRate;

    double strikePower = 0.0;
    std::vector<Mode> rises;
    for (size_t i = 0; i < row.partials.size(); ++i) {
        const PartialEntry& p = row.partials[i];
        const PartialDraws& d = draws[i];
        const double f = freqs[i];
        const double t60 = longestT60 * std::pow(lowestHz / f, row.decayExponent) * p.decay;
        // The table's levels are those of a bell struck so that its nominal
        // sounds at the given level; the clapper's contact takes energy from
        // the partials above the nominal, the more the longer it lasts.
        const double amp = dbToGain(p.levelDb) *
                           std::min(1.0, contactGain(f, b.contactMs) / contactGain(v.nominalHz, b.contactMs));
        const bool low = p.ratio < 1.0;
        // The partial at the strike note is left steady, or the strike would
        // blur together with the growl.
        const bool atStrike = std::abs(std::log2(p.ratio / row.strikeRatio)) < 1.0 / 12.0;
        double split = std::min(p.splitPercent / 100.0 * f, row.maxBeatHz);
        if (low && !atStrike && b.growl > 0.0 && row.growlBeatHz > 0.0) {
            // The largest bells growl: their low partials beat quickly and
            // rough neighbours crowd them.
            split = std::max(split, b.growl * row.growlBeatHz * d.growlBeat);
        }
        if (f + split / 2.0 > highestHz) {
            continue;
        }
        const int index = static_cast<int>(i);
        PartialPlace place{index, f, f, f, 20.0 * std::log10(amp), t60};
        std::vector<Mode> modes;
        if (split > 0.0) {
            const double share = d.doubletBalance;
            place.lowHz = f - split / 2.0;
            place.highHz = f + split / 2.0;
            modes.push_back(spreadMode(place.lowHz, t60, amp / (1.0 + share), d.stereo[0], index));
            modes.push_back(spreadMode(place.highHz, t60, amp * share / (1.0 + share), d.stereo[1], index));
        } else {
            modes.push_back(spreadMode(f, t60, amp, d.stereo[0], index));
        }
        for (const Mode& m : modes) {
            strikePower += (std::norm(m.left) + std::norm(m.right)) / 4.0;
            if (p.riseMs > 0.0) {
                rises.push_back(riseOf(m, p.riseMs));
            }
            v.modes.push_back(m);
        }
        if (low && b.growl > 0.0 && row.growlSpacingHz > 0.0) {
            const double nf = f + d.neighbourSign * row.growlSpacingHz * d.neighbourSpacing;
            const double na = amp * dbToGain(row.growlLevelDb) * b.growl;
            v.modes.push_back(spreadMode(nf, t60 * 0.7, na, d.stereo[2], -1));
        }
        v.places.push_back(place);
    }
    v.modes.insert(v.modes.end(), rises.begin(), rises.end());
    v.noiseRms = std::sqrt(strikePower) * dbToGain(row.noiseDb);
    return v;
}

} // namespace bellsynth

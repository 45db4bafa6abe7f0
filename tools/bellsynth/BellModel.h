#pragma once

// Turns one bell of the table into the modes that sound when it is struck:
// every partial with its frequency, level in each channel, decay and doublet
// partner, the growl of the largest bells, and the strike and room settings
// the renderer needs.

#include "BellTable.h"

#include <complex>
#include <cstdint>
#include <vector>

namespace bellsynth {

// One decaying mode. The channel signal is Re(amplitude * e^(i*2*pi*f*t)) *
// e^(-t/tau), with T60 = tau * ln(1000).
struct Mode {
    double freqHz = 0.0;
    double t60 = 1.0;
    std::complex<double> left;
    std::complex<double> right;
    int partial = -1; // index in the row's partials; -1 for a growl neighbour
};

// Where a partial of the table sounds on this bell: its centre and, for a
// doublet, the two components that beat.
struct PartialPlace {
    int partial = 0;
    double centreHz = 0.0;
    double lowHz = 0.0;
    double highHz = 0.0;
    double levelDb = 0.0; // after the clapper's filtering
    double t60 = 0.0;
};

struct BellVoice {
    double sampleRate = 48000.0;
    double nominalHz = 0.0;
    double strikeHz = 0.0;
    std::vector<Mode> modes;
    std::vector<PartialPlace> places;
    double contactMs = 1.0;
    double splashGain = 0.0; // extra gain at t = 0, linear
    double splashT60 = 0.3;
    double noiseRms = 0.0;
    double noiseDecayMs = 3.0;
    double bounceMs = 5.0;
    double bounceGain = 0.0;
    std::vector<Reflection> reflections;
    double roomLowpassHz = 5000.0;
    double loudnessDb = -15.0; // target K-weighted level of the first second
    std::uint64_t noiseSeed = 0;
};

// Partials above this share of the sample rate are left out: they could not
// be rendered without folding back.
inline constexpr double kHighestPartialShare = 0.45;

BellVoice buildBellVoice(const BellRow& row, int bell, double sampleRate);

// Amplitude of the clapper's contact filtering at frequency f: a force pulse
// of the contact time passes what lies below 1 / contact and falls off above.
double contactGain(double freqHz, double contactMs);

} // namespace bellsynth

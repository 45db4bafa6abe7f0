#pragma once

// Measurements of a bell sample: its strongest spectral peaks, the strike
// pitch the ear builds from them, how long it rings, its peak, RMS and
// K-weighted loudness. Plain C++ with libsndfile, shared by the measuring
// program, the bell synthesizer (which sets its levels with it), the import
// of recorded bells and the tests.

#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace bellmeasure {

struct Audio {
    int sampleRate = 0;
    int format = 0; // libsndfile's format code of the file
    std::vector<std::vector<float>> channels;

    size_t frames() const { return channels.empty() ? 0 : channels.front().size(); }
    double seconds() const { return sampleRate > 0 ? static_cast<double>(frames()) / sampleRate : 0.0; }
    // The average of the channels.
    std::vector<float> mono() const;
};

// Reads a sound file, at most `maxFrames` frames from its start.
std::optional<Audio> readAudio(const std::string& path, std::string& error,
                               size_t maxFrames = std::numeric_limits<size_t>::max());

struct Peak {
    double freqHz = 0.0;
    double levelDb = 0.0; // relative to the strongest peak
};

// The strongest spectral peaks of `count` samples from `x`, strongest first,
// at most `rangeDb` below the strongest. Frequencies are interpolated between
// bins, precise to well under a cent for a steady tone of a second. With
// several segments the power of half-overlapping parts is averaged: coarser
// in frequency, but steady where close doublets beat.
std::vector<Peak> spectralPeaks(const float* x, size_t count, double sampleRate, double rangeDb = 90.0,
                                size_t maxPeaks = 60, int segments = 1);

// The strike pitch of a sample: strikePitch() of the peaks of its first 0.3
// seconds, where the nominal leads, in three segments.
double strikePitchOf(const float* x, size_t count, double sampleRate);

// The pitch the ear assigns to the peaks: the fundamental whose harmonics
// explain the strongest peaks best (a bell's strike note lies an octave below
// its nominal; a plate's is its fundamental). 0 when there are no peaks.
double strikePitch(const std::vector<Peak>& peaks);

// Interval from a to b in cents.
double cents(double a, double b);

// "B2 -12c": the nearest equal-tempered note (A4 = 440 Hz) and the deviation.
std::string noteName(double hz);

struct Decay {
    double fall60Seconds = 0.0; // last moment the signal reaches 60 dB below its peak
    double t60Seconds = 0.0;    // decay rate of the remaining energy, -5 to -35 dB, as time to fall 60 dB
};

Decay measureDecay(const Audio& audio);

// Highest sample magnitude over all channels, in dB relative to full scale.
double peakDbfs(const Audio& audio);
double rmsDbfs(const Audio& audio, size_t start, size_t count);

// K-weighted loudness of `count` frames from the start. A mono signal counts
// as played on two loudspeakers, so a mono file and its stereo counterpart
// that sound equally loud measure the same.
double loudnessDb(const std::vector<const float*>& channels, size_t count, double sampleRate);
double loudnessDb(const Audio& audio, size_t count);

} // namespace bellmeasure

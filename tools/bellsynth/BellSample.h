#pragma once

// From a rendered bell to the files the program plays: the stereo sound and
// its mono mix, each brought to the bell's loudness, kept below the peak
// limit, cut where it has fallen 60 dB and faded into silence, then written
// as 16-bit PCM with dither.

#include "BellRender.h"

#include <cstdint>
#include <string>
#include <vector>

namespace bellsynth {

inline constexpr double kSampleRate = 48000.0;
// No sample goes above this level (dBFS), even after dither.
inline constexpr double kPeakLimitDb = -1.0;
// Where the files end: this far under their peak, by the summed power of
// the partials. Beats raise the sound above that sum by up to a few dB, so
// it is 3 dB under the 60 dB at which the ring counts as over.
inline constexpr double kEndBelowPeakDb = -63.0;
inline constexpr double kFadeSeconds = 0.05;
inline constexpr double kSilenceSeconds = 0.02;
// The length over which loudness is measured: the strike and the first of the ring.
inline constexpr double kLoudnessSeconds = 1.0;

struct MasteredBell {
    StereoBuffer stereo;
    std::vector<float> mono;
    size_t stereoFadeStart = 0; // first frame of the fade-out
    size_t monoFadeStart = 0;
    double stereoLoudnessDb = 0.0;
    double monoLoudnessDb = 0.0;
    double stereoPeakDb = 0.0;
    double monoPeakDb = 0.0;
    bool limited = false; // the peak limit, not the loudness, set the level
};

MasteredBell masterBell(const BellVoice& voice);

// Rounds to 16 bits with triangular dither, which fades out with the sound
// so that the file ends in true digital silence.
std::vector<std::int16_t> toPcm16(const std::vector<const float*>& channels, size_t frames, size_t fadeStart,
                                  std::uint64_t seed);

// Writes a 16-bit PCM WAV file whole or not at all (temporary file, then
// rename). Returns an empty string or the reason it failed.
std::string writeWav16(const std::string& path, const std::vector<std::int16_t>& interleaved, int channels,
                       int sampleRate);

// File name of a bell's sample: bell01.wav for bell 0 up to bell15.wav.
std::string sampleFileName(int bell);

} // namespace bellsynth

#pragma once

// A recording of one struck bell, as a phone takes it: talk and noise before
// the strike, any level, any rate. Finds the strike, the noise floor and where
// the ring sinks into it, measures the strike pitch, the main partials, the
// loudness and the decay, and tells why a recording cannot be used. Plain C++
// over the measurements of BellAnalysis.

#include "playback/audio/analysis/BellAnalysis.h"

#include <array>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace belfry {

// Why a recording was refused; None for a usable one.
enum class Refusal { None, Unreadable, NotAudio, TooLong, Silent, NoStrike, TwoStrikes, Clipped, TooShort };

// Recordings longer than this are refused before they are read whole.
inline constexpr double kMaxRecordingSeconds = 180.0;
// At least this much of the ring must follow the strike.
inline constexpr double kMinRingSeconds = 1.0;
// Kept before the strike, so that an attack found a little late loses nothing.
inline constexpr double kPreRollSeconds = 0.004;
// The fade-out where the ring sinks into the noise.
inline constexpr double kFadeOutSeconds = 0.1;

// The partials a bell is described by, lowest first.
enum PartialName { Hum, Prime, Tierce, Quint, Nominal, kPartialCount };
const char* partialName(int partial);

struct Partial {
    double hz = 0.0; // 0: the bell has none where it belongs
    double levelDb = 0.0; // relative to the strongest peak
};

struct NoteOf {
    std::string name; // "A4"
    double cents = 0.0; // deviation from the equal-tempered note, -50..50
};
NoteOf nearestNote(double hz);

struct BellMeasures {
    int sampleRate = 0;
    int channels = 0;
    size_t onsetFrame = 0;  // the attack's first frame
    size_t cutStart = 0;    // the first frame kept (the pre-roll before the onset)
    size_t fadeStart = 0;   // where the fade-out into silence begins
    size_t cutEnd = 0;      // one past the last frame kept
    double noiseFloorDb = 0.0; // dBFS of the quietest stretch of the recording
    double peakDb = 0.0;       // dBFS
    double pitchHz = 0.0;      // the strike pitch
    std::array<Partial, kPartialCount> partials{};
    double loudnessDb = 0.0; // K-weighted level of the first second after the strike
    double t30Seconds = 0.0; // decay rate from -5 to -35 dB, as the time to fall 60 dB

    double onsetSeconds() const { return sampleRate > 0 ? static_cast<double>(onsetFrame) / sampleRate : 0.0; }
};

struct RecordingResult {
    Refusal refusal = Refusal::None;
    std::string why; // for a refusal: what was found, in a line
    bellmeasure::Audio audio;
    BellMeasures measures;
    bool ok() const { return refusal == Refusal::None; }
};

// Analyses a recording already in memory.
RecordingResult analyseRecording(bellmeasure::Audio audio);

// Reads and analyses a file. A missing or unreadable file, one that is not
// sound, and one too long are told apart before anything is decoded.
RecordingResult analyseRecordingFile(const std::string& path);

// The kept part of the recording: from the pre-roll to the cut, faded in over
// the first half of the pre-roll and out into silence, multiplied by `gain`.
// At most two channels.
bellmeasure::Audio trimmedRecording(const bellmeasure::Audio& audio, const BellMeasures& m, double gain);

// The gain that brings a trimmed bell to `loudnessDb`, lowered where its peak
// would rise above `peakLimitDb`.
double levelGain(const BellMeasures& m, double loudnessDb, double peakLimitDb);

// The bells in order of their strike pitch, lowest first: indexes into
// `pitches`.
std::vector<size_t> orderByPitch(const std::vector<double>& pitches);

// Pairs (i, j), i < j, of pitches closer than `cents`: bells a listener
// hardly tells apart.
std::vector<std::pair<size_t, size_t>> closePitches(const std::vector<double>& pitches, double cents);
inline constexpr double kQuarterToneCents = 50.0;

// Writes audio as 24-bit FLAC, whole or not at all (temporary file, then
// rename). Empty, or the reason it failed.
std::string writeFlac(const std::string& path, const bellmeasure::Audio& audio);

} // namespace belfry

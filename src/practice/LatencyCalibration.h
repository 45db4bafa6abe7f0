#pragma once

#include "input/StrikeInput.h"

#include <QString>

#include <vector>

class ProfileFile;

// The user's own offset: the delay of the sound device and of the input plus
// the habit of striking a little early or late, measured by tapping along to
// a click with that input. It is subtracted from every strike of the input
// before matching. Each input (the keys, each MIDI port, a microphone) has
// its own.
namespace LatencyCalibration {

// A tap-along needs at least this many usable taps, and at least two thirds
// of the clicks answered.
inline constexpr int kLeastTaps = 5;
// Offsets stored and used are kept within these bounds (milliseconds).
inline constexpr int kLeastOffsetMs = -200;
inline constexpr int kMostOffsetMs = 400;
// Taps spread wider than this (median absolute deviation) did not follow the
// clicks: a person tapping along stays well within it, random taps do not.
inline constexpr double kMostSpreadMs = 40.0;

struct Estimate {
    bool valid = false;
    double offsetMs = 0.0;
    // Taps kept after outliers were set aside, and their spread (median
    // absolute deviation from the offset).
    int usedTaps = 0;
    double spreadMs = 0.0;
    // Why there is no estimate (empty when valid).
    QString problem;
};

// Each tap answers the click it follows by the user's delay, which may be
// longer than half the spacing of the clicks. The delay is found first from
// where the taps fall between the clicks (their circular mean over one
// spacing), taken within the bounds above; each tap is then paired with the
// click that delay points to. The median offset of the pairs, with taps far
// from it set aside (beyond three times the deviation, at least 15 ms), is
// the estimate. With clicks spaced wider than the bounds (600 ms) a delay
// beyond them is told apart from one within. Times in milliseconds on one
// clock.
Estimate estimate(const std::vector<double>& clicksMs, const std::vector<double>& tapsMs);

// Offsets are kept and used to a tenth of a millisecond.
double toTenth(double milliseconds);
// "42,5 мс" as the user reads it.
QString caption(double milliseconds);

// The stored offset of an input: the keys' in [Training] Latency=, a MIDI
// port's in the port's own section, a microphone's in [Training]
// Latency Microphone=. Older versions wrote whole milliseconds, read as they
// stand; a whole number is still written so (they read it too). 0 when
// missing, not a number or out of bounds.
double readOffset(const ProfileFile& settings, const StrikeInput& input = StrikeInput::keys());
bool writeOffset(ProfileFile& settings, double offsetMs, const StrikeInput& input = StrikeInput::keys());

} // namespace LatencyCalibration

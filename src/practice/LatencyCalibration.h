#pragma once

#include <QString>

#include <vector>

class ProfileFile;

// The user's own offset: the delay of the sound device plus the habit of
// striking a little early or late, measured by tapping along to a click.
// It is subtracted from every key strike before matching.
namespace LatencyCalibration {

// A tap-along needs at least this many usable taps.
inline constexpr int kLeastTaps = 5;
// Offsets stored and used are kept within these bounds (milliseconds).
inline constexpr int kLeastOffsetMs = -200;
inline constexpr int kMostOffsetMs = 400;

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

// Pairs each tap with the nearest click (taps more than half an interval
// from every click are left out), takes the median offset, sets aside taps
// far from it (beyond three times the deviation, at least 15 ms) and gives
// the median of the rest. Times in milliseconds on one clock.
Estimate estimate(const std::vector<double>& clicksMs, const std::vector<double>& tapsMs);

// The stored offset: [Training] Latency= in whole milliseconds; 0 when
// missing or out of bounds.
int readOffset(const ProfileFile& settings);
bool writeOffset(ProfileFile& settings, int offsetMs);

} // namespace LatencyCalibration

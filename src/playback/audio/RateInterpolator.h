#pragma once

#include <cstdint>
#include <vector>

namespace audio {

// Brings the voices' stereo bus from the samples' rate to the device's: a
// windowed-sinc filter with one row of coefficients for each phase an output
// frame can fall on between two input frames. A ratio of two common rates
// has few phases (147 for 44.1 from 48 kHz, 2 for 96 kHz), so every row is
// exact and computed once, and each output frame costs one short dot product
// per channel whatever the number of voices.
//
// Output frame n lies at input position n * from / to. The filter is
// symmetric around that position, so a sound that begins on input frame j
// sounds from output frame j * to / from on, with the filter's short ringing
// before it.
class RateInterpolator {
public:
    // Input frames on each side of the output position.
    static constexpr int kHalfTaps = 32;
    static constexpr int kTaps = 2 * kHalfTaps;
    // Phases at most (the table is built once, before the audio starts).
    static constexpr int kMaxPhases = 4096;

    // Whether the filter serves this pair of rates: the output rate at least
    // 44.1/48 of the input (a lower one would need a narrower filter) and a
    // ratio with at most kMaxPhases phases.
    static bool serves(int fromRate, int toRate);

    RateInterpolator(int fromRate, int toRate);

    int fromRate() const { return m_from; }
    int toRate() const { return m_to; }

    // The input frame output frame n lies on or after, and its phase.
    std::int64_t inputFrame(std::int64_t n) const;
    // The first input frame output frame n reads, and one past the last.
    std::int64_t firstInput(std::int64_t n) const { return inputFrame(n) - kHalfTaps + 1; }
    std::int64_t endInput(std::int64_t n) const { return inputFrame(n) + kHalfTaps + 1; }

    // Output frames [first, first + frames) into `out` (interleaved stereo,
    // overwritten) from the input frames in `in`, whose frame 0 is input
    // frame `inStart`; `in` must hold firstInput(first) .. endInput(last).
    // Audio thread: no allocation, no locks.
    void process(const float* in, std::int64_t inStart, float* out, std::int64_t first,
                 int frames) const noexcept;

private:
    int m_from = 0;
    int m_to = 0;
    int m_step = 0;   // from / gcd: input positions advance by m_step / m_phases per output frame
    int m_phases = 0; // to / gcd
    // kTaps coefficients per phase, each twice (left and right of a frame).
    std::vector<float> m_rows;
};

} // namespace audio

#pragma once

#include "practice/StrikeOutcome.h"

#include <QList>

#include <array>

// The figures of one practice run.
struct TrainingStats {
    // Errors within this many milliseconds count as on time; within the
    // second bound as nearly so (the colours of the marks follow both).
    static constexpr double kOnTimeMs = 20.0;
    static constexpr double kNearlyMs = 50.0;
    // The histogram: bins of kBinMs from -kHistogramMs to +kHistogramMs; an
    // error outside falls into the first or last bin.
    static constexpr double kBinMs = 10.0;
    static constexpr double kHistogramMs = 100.0;
    static constexpr int kBins = 20;
    // What a missed or extra strike weighs in the error of a bar.
    static constexpr double kPenaltyMs = 100.0;
    // Bars whose errors lie within this of each other are alike: none is
    // harder than the rest (an even offset, say), so none is picked out.
    static constexpr double kAlikeMs = 10.0;

    int hits = 0;
    int misses = 0;
    int extras = 0;
    double meanMs = 0.0;         // signed: positive is late
    double deviationMs = 0.0;    // standard deviation of the errors
    double meanAbsoluteMs = 0.0; // mean distance from the beat
    // Share of the expected strikes rung within kOnTimeMs (a miss is not on time).
    double shareOnTime = 0.0;
    std::array<int, kBins> histogram{};
    // The two bars (0-based, 16 columns each) with the largest error, worst
    // first, among the bars that expected strikes of the part; fewer when
    // fewer bars had anything wrong, none when the bars are alike.
    QList<int> worstBars;
    // Several bars expected strikes, all of them were rung with none extra,
    // some off the beat, and every bar's error lies within kAlikeMs of the
    // others: about barErrorMs each.
    bool barsAlike = false;
    double barErrorMs = 0.0;

    int expected() const { return hits + misses; }
};

// The error of a bar: the mean distance of its hits from the beat, where a
// miss and an extra each count as kPenaltyMs.
double barError(const QList<StrikeOutcome>& outcomes, int bar);

TrainingStats computeStats(const QList<StrikeOutcome>& outcomes);

// The histogram bin of an error.
int histogramBin(double errorMs);

// The colour class of a hit: 0 on time, 1 nearly, 2 beyond.
int errorGrade(double errorMs);

inline int barOfColumn(int column) {
    return column >= 0 ? column / 16 : -1;
}

#pragma once

#include "practice/StrikeOutcome.h"

#include <QList>

#include <cstdint>

// The figures of one practised bell in a run, so that a bell that drags
// stands apart from one that rushes.
struct BellFigures {
    int bell = 0;
    int hits = 0;
    int misses = 0;
    int extras = 0;
    double meanMs = 0.0;      // signed: positive is late
    double deviationMs = 0.0; // standard deviation of its errors
    // Share of its expected strikes rung within TrainingStats::kOnTimeMs.
    double shareOnTime = 0.0;
};

// One figure per bell that has an outcome in the run, bells in ascending order.
QList<BellFigures> figuresByBell(const QList<StrikeOutcome>& outcomes);

// The error of one strike through the run: when it was due, in seconds from
// the first strike due in the run.
struct ErrorPoint {
    double seconds = 0.0;
    double errorMs = 0.0;
    int bell = 0;
    bool missed = false;
};

// Where a bar begins on the run's time axis; bar is 0-based.
struct BarStart {
    double seconds = 0.0;
    int bar = 0;
};

struct ErrorTimeline {
    QList<ErrorPoint> points; // hits and misses, in time order
    QList<BarStart> bars;     // in time order, each bar of each pass once
};

// The strikes of a run laid out in time. Each pass's column length is taken
// from its own strikes (a looped passage may be played faster each pass);
// `columnFrames` stands in for a pass with a single column struck.
ErrorTimeline errorTimeline(const QList<StrikeOutcome>& outcomes, int sampleRate, std::int64_t columnFrames);

// For each hit of `bell`, the mean of its last `window` errors up to that
// hit (fewer at the start): the bell's drift through the run.
QList<double> runningMean(const QList<ErrorPoint>& points, int bell, int window);

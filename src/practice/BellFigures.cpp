#include "practice/BellFigures.h"

#include "practice/TrainingStats.h"

#include <QMap>

#include <algorithm>
#include <cmath>
#include <limits>

QList<BellFigures> figuresByBell(const QList<StrikeOutcome>& outcomes) {
    QMap<int, BellFigures> byBell;
    QMap<int, QList<double>> errors;
    for (const StrikeOutcome& outcome : outcomes) {
        BellFigures& figures = byBell[outcome.bell];
        figures.bell = outcome.bell;
        switch (outcome.kind) {
        case StrikeOutcome::Kind::Hit:
            ++figures.hits;
            errors[outcome.bell] << outcome.errorMs;
            break;
        case StrikeOutcome::Kind::Missed:
            ++figures.misses;
            break;
        case StrikeOutcome::Kind::Extra:
            ++figures.extras;
            break;
        }
    }
    QList<BellFigures> result;
    for (BellFigures figures : byBell) {
        const QList<double>& own = errors.value(figures.bell);
        if (!own.isEmpty()) {
            double sum = 0.0;
            int onTime = 0;
            for (double error : own) {
                sum += error;
                onTime += std::abs(error) <= TrainingStats::kOnTimeMs ? 1 : 0;
            }
            figures.meanMs = sum / own.size();
            double squares = 0.0;
            for (double error : own) {
                squares += (error - figures.meanMs) * (error - figures.meanMs);
            }
            figures.deviationMs = std::sqrt(squares / own.size());
            figures.shareOnTime = static_cast<double>(onTime) / (figures.hits + figures.misses);
        }
        result << figures;
    }
    return result;
}

ErrorTimeline errorTimeline(const QList<StrikeOutcome>& outcomes, int sampleRate, std::int64_t columnFrames) {
    ErrorTimeline timeline;
    if (sampleRate <= 0) {
        return timeline;
    }
    // Per pass: the earliest and latest expected strike, to measure the
    // pass's column length and to place its bars.
    struct Anchor {
        int firstColumn = 0;
        std::int64_t firstFrame = 0;
        int lastColumn = 0;
        std::int64_t lastFrame = 0;
        bool any = false;
    };
    QMap<int, Anchor> passes;
    std::int64_t origin = std::numeric_limits<std::int64_t>::max();
    for (const StrikeOutcome& o : outcomes) {
        if (o.kind == StrikeOutcome::Kind::Extra) {
            continue;
        }
        origin = std::min(origin, o.expectedFrame);
        Anchor& anchor = passes[o.pass];
        if (!anchor.any || o.expectedFrame < anchor.firstFrame) {
            anchor.firstColumn = o.column;
            anchor.firstFrame = o.expectedFrame;
        }
        if (!anchor.any || o.expectedFrame > anchor.lastFrame) {
            anchor.lastColumn = o.column;
            anchor.lastFrame = o.expectedFrame;
        }
        anchor.any = true;
    }
    if (passes.isEmpty()) {
        return timeline;
    }
    const auto seconds = [&](double frame) { return (frame - static_cast<double>(origin)) / sampleRate; };
    for (const StrikeOutcome& o : outcomes) {
        if (o.kind != StrikeOutcome::Kind::Extra) {
            timeline.points << ErrorPoint{seconds(static_cast<double>(o.expectedFrame)), o.errorMs, o.bell,
                                          o.kind == StrikeOutcome::Kind::Missed};
        }
    }
    std::stable_sort(timeline.points.begin(), timeline.points.end(),
                     [](const ErrorPoint& a, const ErrorPoint& b) { return a.seconds < b.seconds; });
    for (const Anchor& anchor : passes) {
        const int columns = anchor.lastColumn - anchor.firstColumn;
        const double length = columns > 0
                                  ? static_cast<double>(anchor.lastFrame - anchor.firstFrame) / columns
                                  : static_cast<double>(columnFrames);
        for (int bar = barOfColumn(anchor.firstColumn); bar <= barOfColumn(anchor.lastColumn); ++bar) {
            const double frame = anchor.firstFrame + (bar * 16 - anchor.firstColumn) * length;
            timeline.bars << BarStart{seconds(frame), bar};
        }
    }
    std::stable_sort(timeline.bars.begin(), timeline.bars.end(),
                     [](const BarStart& a, const BarStart& b) { return a.seconds < b.seconds; });
    return timeline;
}

QList<double> runningMean(const QList<ErrorPoint>& points, int bell, int window) {
    QList<double> means;
    QList<double> recent;
    double sum = 0.0;
    for (const ErrorPoint& point : points) {
        if (point.bell != bell || point.missed) {
            continue;
        }
        recent << point.errorMs;
        sum += point.errorMs;
        if (recent.size() > std::max(1, window)) {
            sum -= recent.takeFirst();
        }
        means << sum / recent.size();
    }
    return means;
}

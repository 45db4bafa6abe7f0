#include "practice/TrainingStats.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

int histogramBin(double errorMs) {
    const int bin =
        static_cast<int>(std::floor((errorMs + TrainingStats::kHistogramMs) / TrainingStats::kBinMs));
    return std::clamp(bin, 0, TrainingStats::kBins - 1);
}

int errorGrade(double errorMs) {
    const double distance = std::abs(errorMs);
    if (distance <= TrainingStats::kOnTimeMs) {
        return 0;
    }
    return distance <= TrainingStats::kNearlyMs ? 1 : 2;
}

namespace {

struct BarTally {
    double sum = 0.0;
    int strikes = 0; // hits and misses
    int faults = 0;  // misses and extras
};

double tallyError(const BarTally& tally) {
    // A bar with extras only still weighs them against one strike.
    return tally.sum / std::max(1, tally.strikes);
}

void addToTally(BarTally& tally, const StrikeOutcome& outcome) {
    switch (outcome.kind) {
    case StrikeOutcome::Kind::Hit:
        tally.sum += std::abs(outcome.errorMs);
        ++tally.strikes;
        break;
    case StrikeOutcome::Kind::Missed:
        tally.sum += TrainingStats::kPenaltyMs;
        ++tally.strikes;
        ++tally.faults;
        break;
    case StrikeOutcome::Kind::Extra:
        tally.sum += TrainingStats::kPenaltyMs;
        ++tally.faults;
        break;
    }
}

} // namespace

double barError(const QList<StrikeOutcome>& outcomes, int bar) {
    BarTally tally;
    for (const StrikeOutcome& outcome : outcomes) {
        if (barOfColumn(outcome.column) == bar) {
            addToTally(tally, outcome);
        }
    }
    return tallyError(tally);
}

TrainingStats computeStats(const QList<StrikeOutcome>& outcomes) {
    TrainingStats stats;
    double sum = 0.0;
    double absoluteSum = 0.0;
    int onTime = 0;
    std::map<int, BarTally> bars;
    for (const StrikeOutcome& outcome : outcomes) {
        switch (outcome.kind) {
        case StrikeOutcome::Kind::Hit:
            ++stats.hits;
            sum += outcome.errorMs;
            absoluteSum += std::abs(outcome.errorMs);
            onTime += std::abs(outcome.errorMs) <= TrainingStats::kOnTimeMs ? 1 : 0;
            ++stats.histogram[static_cast<size_t>(histogramBin(outcome.errorMs))];
            break;
        case StrikeOutcome::Kind::Missed:
            ++stats.misses;
            break;
        case StrikeOutcome::Kind::Extra:
            ++stats.extras;
            break;
        }
        if (outcome.column >= 0) {
            addToTally(bars[barOfColumn(outcome.column)], outcome);
        }
    }
    if (stats.hits > 0) {
        stats.meanMs = sum / stats.hits;
        stats.meanAbsoluteMs = absoluteSum / stats.hits;
        double squares = 0.0;
        for (const StrikeOutcome& outcome : outcomes) {
            if (outcome.kind == StrikeOutcome::Kind::Hit) {
                squares += (outcome.errorMs - stats.meanMs) * (outcome.errorMs - stats.meanMs);
            }
        }
        stats.deviationMs = std::sqrt(squares / stats.hits);
    }
    if (stats.expected() > 0) {
        stats.shareOnTime = static_cast<double>(onTime) / stats.expected();
    }
    // Only bars where the part had something to ring are judged: a bar
    // scored from stray strikes alone is no bar to practise.
    std::vector<std::pair<double, int>> ranked;
    double least = 0.0;
    double most = 0.0;
    bool anyLate = false;
    bool anyFault = false;
    for (const auto& [bar, tally] : bars) {
        if (tally.strikes == 0) {
            continue;
        }
        const double error = tallyError(tally);
        least = ranked.empty() ? error : std::min(least, error);
        most = ranked.empty() ? error : std::max(most, error);
        anyLate = anyLate || error > TrainingStats::kOnTimeMs;
        anyFault = anyFault || tally.faults > 0;
        ranked.emplace_back(error, bar);
    }
    // Only a timing offset can be even over the bars: a strike missed or
    // rung where none was due makes its bar one to practise, however evenly
    // the faults are spread (a run without a single hit is all faults).
    if (ranked.size() >= 2 && anyLate && !anyFault && most - least <= TrainingStats::kAlikeMs) {
        stats.barsAlike = true;
        stats.barErrorMs = (least + most) / 2.0;
        return stats;
    }
    // Worst first; on equal error the earlier bar. A bar rung perfectly is not "worst".
    std::erase_if(ranked, [&bars](const std::pair<double, int>& entry) {
        return entry.first <= TrainingStats::kOnTimeMs && bars.at(entry.second).faults == 0;
    });
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    for (size_t i = 0; i < ranked.size() && i < 2; ++i) {
        stats.worstBars << ranked[i].second;
    }
    return stats;
}

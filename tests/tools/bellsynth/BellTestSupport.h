#pragma once

// Helpers shared by the bell synthesizer's tests.

#include "playback/audio/analysis/BellAnalysis.h"
#include "BellTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace belltest {

inline const bellsynth::BellTable& table() {
    static const bellsynth::BellTable t = [] {
        std::string error;
        std::optional<bellsynth::BellTable> loaded = bellsynth::loadBellTable(BELLSYNTH_TABLE, error);
        if (!loaded) {
            ADD_FAILURE() << error;
            return bellsynth::BellTable{};
        }
        return *loaded;
    }();
    return t;
}

// Distance in cents from `hz` to the nearest peak.
inline double nearestCents(const std::vector<bellmeasure::Peak>& peaks, double hz) {
    double best = 1e9;
    for (const bellmeasure::Peak& p : peaks) {
        best = std::min(best, std::abs(bellmeasure::cents(hz, p.freqHz)));
    }
    return best;
}

// Level of the strongest peak within `width` cents of `hz`, or -inf.
inline double levelNear(const std::vector<bellmeasure::Peak>& peaks, double hz, double width) {
    double best = -HUGE_VAL;
    for (const bellmeasure::Peak& p : peaks) {
        if (std::abs(bellmeasure::cents(hz, p.freqHz)) <= width) {
            best = std::max(best, p.levelDb);
        }
    }
    return best;
}

} // namespace belltest

#include "practice/Staircase.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Runs a staircase to its end against a listener.
template <typename Listener> double threshold(Listener&& rightAt) {
    Staircase staircase;
    for (int trial = 0; trial < 400 && !staircase.finished(); ++trial) {
        staircase.answer(rightAt(staircase.amountMs()));
    }
    EXPECT_TRUE(staircase.finished());
    return staircase.thresholdMs();
}

} // namespace

// A listener who hears every offset from the threshold up and none below.
TEST(Staircase, FindsTheThresholdOfASharpListener) {
    for (double t : {1.5, 4.0, 12.0, 33.0, 150.0}) {
        const double found = threshold([t](double amount) { return amount >= t; });
        EXPECT_NEAR(found, t, 0.2 * t) << "threshold " << t;
    }
}

// A listener who guesses: right with a chance that rises with the amount
// (from the guess rate of 1 in 8 up to always) and reaches 71 % — where two
// down, one up settles — at t. The median over several staircases finds t.
TEST(Staircase, FindsTheThresholdOfAGuessingListener) {
    for (double t : {6.0, 25.0}) {
        // Weibull: p(a) = g + (1 - g)(1 - exp(-(a / s)^k)), with s set so that p(t) = 0.707.
        const double g = 0.125;
        const double k = 3.0;
        const double s = t / std::pow(-std::log(1.0 - (0.707 - g) / (1.0 - g)), 1.0 / k);
        std::vector<double> found;
        for (quint32 seed = 1; seed <= 15; ++seed) {
            QRandomGenerator random(seed);
            found.push_back(threshold([&](double a) {
                return random.generateDouble() < g + (1.0 - g) * (1.0 - std::exp(-std::pow(a / s, k)));
            }));
        }
        std::nth_element(found.begin(), found.begin() + 7, found.end());
        EXPECT_NEAR(found[7], t, 0.2 * t) << "threshold " << t;
    }
}

TEST(Staircase, StaysWithinItsBounds) {
    Staircase always;
    for (int i = 0; i < 100; ++i) {
        always.answer(true);
    }
    EXPECT_DOUBLE_EQ(always.amountMs(), Staircase::kFloorMs);
    Staircase never;
    for (int i = 0; i < 100; ++i) {
        never.answer(false);
    }
    EXPECT_DOUBLE_EQ(never.amountMs(), Staircase::kCeilingMs);
    // Halving and doubling at first: two right answers halve, one wrong doubles.
    Staircase first;
    first.answer(true);
    EXPECT_DOUBLE_EQ(first.amountMs(), Staircase::kStartMs);
    first.answer(true);
    EXPECT_DOUBLE_EQ(first.amountMs(), Staircase::kStartMs / 2);
}

#include "practice/TempoRamp.h"

#include <gtest/gtest.h>

#include <vector>

// The tempo after each pass, for given passes: a bad pass keeps it, a good
// one raises it by the step, never past the full tempo.
TEST(TempoRamp, TempoSequenceForGivenPasses) {
    struct Case {
        const char* fault;
        TempoRamp::Settings settings;
        std::vector<double> shares;
        std::vector<int> percents;
    };
    const std::vector<Case> cases = {
        {"a bad pass raises the tempo", {70, 10, 80}, {0.5, 0.8, 0.79, 0.95}, {70, 80, 80, 90}},
        {"the last step overshoots 100 %", {85, 10, 80}, {0.9, 0.9, 0.9}, {95, 100, 100}},
        {"the threshold itself is a good pass, just under it is not", {60, 5, 75}, {0.75, 0.74}, {65, 65}},
        {"a start below the least is not kept", {5, 50, 50}, {0.0, 1.0}, {30, 80}},
    };
    for (const Case& c : cases) {
        TempoRamp ramp(100, c.settings);
        for (size_t i = 0; i < c.shares.size(); ++i) {
            ramp.passEnded(c.shares[i]);
            EXPECT_EQ(ramp.percent(), c.percents[i]) << c.fault << ", pass " << i;
        }
    }
}

TEST(TempoRamp, StepsAndIntervals) {
    TempoRamp ramp(144, {80, 20, 80});
    EXPECT_EQ(ramp.interval(), 180); // 80 % of the tempo: columns a quarter longer
    EXPECT_EQ(ramp.passEnded(0.1), TempoRamp::Step::Again);
    EXPECT_EQ(ramp.passEnded(0.9), TempoRamp::Step::Faster);
    EXPECT_EQ(ramp.interval(), 144);
    // At the full tempo a good pass says so and the tempo stays.
    EXPECT_EQ(ramp.passEnded(1.0), TempoRamp::Step::Full);
    EXPECT_EQ(ramp.interval(), 144);
}

// The random generator: its draws, the cases with no new combination, and
// its hand-over to the sequencer.

#include "playback/Generator.h"
#include "TransportFakes.h"

#include <gtest/gtest.h>

namespace {

class FakeSelectors : public GeneratorHost {
public:
    int bells = 8;
    std::array<int, 3> counts{1, 1, 1};
    std::array<int, 3> indexes{0, 0, 0};
    std::vector<std::pair<int, int>> choices;
    bool running = false;
    int plays = 0;
    bool inTurn = true;

    int selectedBellCount() const override { return bells; }
    int groupItemCount(int group) const override { return counts[group]; }
    int groupItemIndex(int group) const override { return indexes[group]; }
    void chooseGroupRinging(int group, int index) override {
        choices.emplace_back(group, index);
        indexes[group] = index;
    }
    void uncheckPlayAllInTurn() override { inTurn = false; }
    bool sequencerRunning() const override { return running; }
    void play() override {
        ++plays;
        running = true;
    }
};

struct GeneratorRig {
    explicit GeneratorRig(std::uint32_t seed = 1) : generator(state, selectors, seed) {}
    TransportState state;
    FakeSelectors selectors;
    Generator generator;
};

} // namespace

// Only the small selector offers ringings: the first draw picks one of its two,
// middle and big stay at "Выбор звона"; then Play starts it.
TEST(GeneratorDraw, FirstDrawFillsOfferingGroupsOnly) {
    for (std::uint32_t seed = 0; seed < 50; ++seed) {
        GeneratorRig rig(seed);
        rig.selectors.counts = {3, 1, 1};
        rig.generator.start();
        EXPECT_TRUE(rig.state.generatorMode);
        EXPECT_FALSE(rig.selectors.inTurn);
        EXPECT_GE(rig.selectors.indexes[0], 1);
        EXPECT_LE(rig.selectors.indexes[0], 2);
        EXPECT_EQ(rig.selectors.indexes[1], 0);
        EXPECT_EQ(rig.selectors.indexes[2], 0);
        EXPECT_EQ(rig.selectors.plays, 1);
    }
}

// Each later draw changes exactly one selector, never to the same combination
// and never to silence in all three groups.
TEST(GeneratorDraw, LaterDrawsChangeOneGroup) {
    GeneratorRig rig(42);
    rig.selectors.counts = {3, 4, 2};
    rig.selectors.indexes = {1, 2, 0};
    rig.selectors.running = true;
    std::array<int, 3> seenGroups{0, 0, 0};
    for (int draw = 0; draw < 2000; ++draw) {
        const auto before = rig.selectors.indexes;
        rig.selectors.choices.clear();
        ASSERT_TRUE(rig.generator.generateNext());
        ASSERT_EQ(rig.selectors.choices.size(), 1u) << draw;
        const int g = rig.selectors.choices[0].first;
        ++seenGroups[g];
        EXPECT_NE(rig.selectors.indexes[g], before[g]);
        EXPECT_NE(rig.selectors.indexes, before);
        EXPECT_FALSE(rig.selectors.indexes[0] == 0 && rig.selectors.indexes[1] == 0 &&
                     rig.selectors.indexes[2] == 0);
    }
    // Every group that offers ringings takes its turn; the draw is not stuck.
    EXPECT_GT(seenGroups[0], 300);
    EXPECT_GT(seenGroups[1], 300);
    EXPECT_GT(seenGroups[2], 300);
    EXPECT_EQ(rig.selectors.plays, 0); // playing already: no second Play
}

// PickOtherItem never returns the current item and covers all the others,
// "Выбор звона" included.
TEST(GeneratorDraw, PickOtherItem) {
    GeneratorRig rig(5);
    rig.selectors.counts = {4, 1, 0};
    rig.selectors.indexes = {2, 0, 0};
    std::array<int, 4> seen{0, 0, 0, 0};
    for (int i = 0; i < 400; ++i) {
        ++seen[rig.generator.pickOtherItem(0)];
    }
    EXPECT_EQ(seen[2], 0);
    EXPECT_GT(seen[0], 0);
    EXPECT_GT(seen[1], 0);
    EXPECT_GT(seen[3], 0);
    // A selector with no other item gives its own (the caller never asks then).
    EXPECT_EQ(rig.generator.pickOtherItem(1), 0);
    EXPECT_EQ(rig.generator.pickOtherItem(2), 0);
}

// IsNewCombination: all zero (or less) is refused, the present one is refused.
TEST(GeneratorDraw, IsNewCombination) {
    GeneratorRig rig;
    rig.selectors.counts = {3, 3, 3};
    rig.selectors.indexes = {1, 2, 0};
    EXPECT_FALSE(rig.generator.isNewCombination({0, 0, 0}));
    EXPECT_FALSE(rig.generator.isNewCombination({-1, 0, -1}));
    EXPECT_FALSE(rig.generator.isNewCombination({1, 2, 0}));
    EXPECT_TRUE(rig.generator.isNewCombination({1, 2, 1}));
    EXPECT_TRUE(rig.generator.isNewCombination({0, 2, 0}));
}

// No new combination exists: the draw is not attempted and nothing changes.
TEST(GeneratorNoCombination, NothingIsDrawn) {
    struct Case {
        std::array<int, 3> counts;
        std::array<int, 3> indexes;
        bool exists;
    };
    const Case cases[] = {
        {{1, 1, 1}, {0, 0, 0}, false}, // no selector offers a ringing
        {{2, 1, 1}, {1, 0, 0}, false}, // the only ringing is chosen; silence is refused
        {{1, 1, 2}, {0, 0, 1}, false}, {{2, 1, 1}, {0, 0, 0}, true}, // the only ringing, not yet chosen
        {{3, 1, 1}, {1, 0, 0}, true},                                // a second small ringing
        {{2, 2, 1}, {1, 0, 0}, true},                                // a middle ringing to add
        {{2, 2, 1}, {1, 1, 0}, true},                                // either may fall silent
    };
    for (const Case& c : cases) {
        GeneratorRig rig;
        rig.selectors.counts = c.counts;
        rig.selectors.indexes = c.indexes;
        rig.selectors.running = true;
        EXPECT_EQ(rig.generator.newCombinationExists(), c.exists);
        const bool drawn = rig.generator.generateNext();
        EXPECT_EQ(drawn, c.exists);
        if (!c.exists) {
            EXPECT_TRUE(rig.selectors.choices.empty());
            EXPECT_EQ(rig.selectors.indexes, c.indexes);
        }
    }
}

// Starting with nothing to play leaves generator mode off; with the one
// combination already playing, the mode stays on and it keeps looping.
TEST(GeneratorNoCombination, StartWithNothingNew) {
    GeneratorRig idle;
    idle.generator.start();
    EXPECT_FALSE(idle.state.generatorMode);
    EXPECT_EQ(idle.selectors.plays, 0);

    GeneratorRig playing;
    playing.selectors.counts = {2, 1, 1};
    playing.selectors.indexes = {1, 0, 0};
    playing.selectors.running = true;
    playing.generator.start();
    EXPECT_TRUE(playing.state.generatorMode);
    EXPECT_TRUE(playing.selectors.choices.empty());
}

// Fewer than five selected bells: the command is ignored.
TEST(GeneratorStart, NeedsFiveBells) {
    GeneratorRig rig;
    rig.selectors.bells = 4;
    rig.selectors.counts = {3, 3, 3};
    rig.generator.start();
    EXPECT_FALSE(rig.state.generatorMode);
    EXPECT_TRUE(rig.selectors.choices.empty());
    EXPECT_TRUE(rig.selectors.inTurn);
}

// At each end of the ringing the sequencer hands over to the generator, whose
// new combination starts at column 0 on the grid without stopping the timer.
// The ends are those handed to the engine, which runs ahead of what is shown.
TEST(GeneratorStart, DrawsAtEachEndWhilePlaying) {
    TransportRig rig;
    FakeSelectors selectors;
    Generator generator(rig.state, selectors, 3);
    selectors.counts = {3, 3, 1};
    selectors.running = true;
    rig.host.onGenerateNext = [&] {
        generator.generateNext();
        rig.sequencer.setInterval(144); // a group load sets 144 ms
    };
    rig.state.groupRingingMode = true;
    rig.state.generatorMode = true;
    rig.load(4, transport::RingingLoader::GroupChoice);
    rig.sequencer.play();
    while (rig.host.strikes.size() < 12 && rig.fire()) {
    }
    EXPECT_EQ(rig.host.struckColumns(), (std::vector<int>{0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3}));
    // The first draw fills two groups, then one at each later end.
    const auto passesHanded = static_cast<std::size_t>(
        1 + (rig.host.sounds.back().frame - rig.host.sounds.front().frame) / (4 * 144 * 48));
    EXPECT_GE(passesHanded, 4u);
    EXPECT_EQ(selectors.choices.size(), passesHanded);
    for (std::size_t n = 0; n < 12; ++n) {
        EXPECT_EQ(rig.host.strikes[n].frame, static_cast<std::int64_t>(n) * 144 * 48);
    }
}

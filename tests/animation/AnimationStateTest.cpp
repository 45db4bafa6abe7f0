// The rules of the bell animation: which picture each group shows after
// strikes, resets, style and animation switches, chord groups and the full
// view, without a window.

#include "animation/BellAnimationState.h"

#include <gtest/gtest.h>

using namespace animation;
using Kind = ShownPicture::Kind;
using View = BellAnimationState::View;

namespace {

AnimationContext contextWith(int small, int middle, int big) {
    AnimationContext context;
    context.groupCounts = {small, middle, big};
    context.selectedCount = small + middle + big;
    return context;
}

ShownPicture frame(int set, int f, FrameStyle style = FrameStyle::General) {
    return ShownPicture::frameOf(set, f, style);
}

// An ensemble of `small`, `middle` and `big` bells: big from bell 0 upward,
// then middle, then small.
Ensemble ensembleOf(int small, int middle, int big) {
    Ensemble ensemble;
    int bell = 0;
    for (auto [count, code] : {std::pair{big, kBigGroup}, {middle, kMiddleGroup}, {small, kSmallGroup}}) {
        for (int i = 0; i < count; ++i, ++bell) {
            ensemble.setSelected(bell, true);
            ensemble.setGroup(bell, code);
        }
    }
    return ensemble;
}

} // namespace

TEST(AnimationFrames, SmallGroupSizeChoosesSetAndFrame) {
    struct Case {
        int smallCount;
        int rank;
        std::optional<StrikeFrame> expected;
    };
    // Catches: the small-three set used for four bells, the raise for three
    // bells or not for two, and frames asked for beyond a set's seven bells.
    const Case cases[] = {
        {1, 1, StrikeFrame{kSmallThreeSet, 2}},
        {2, 1, StrikeFrame{kSmallThreeSet, 2}},
        {2, 2, StrikeFrame{kSmallThreeSet, 3}},
        {3, 1, StrikeFrame{kSmallThreeSet, 1}},
        {3, 3, StrikeFrame{kSmallThreeSet, 3}},
        {4, 1, StrikeFrame{kSmallSet, 1}},
        {4, 4, StrikeFrame{kSmallSet, 4}},
        {7, 7, StrikeFrame{kSmallSet, 7}},
        {8, 8, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(strikeFrameOf({0, c.rank}, c.smallCount), c.expected)
            << c.smallCount << " bells, rank " << c.rank;
    }
}

TEST(AnimationFrames, MiddleAndBigAreNeverRaised) {
    // With fewer than three small bells only small strikes are raised: a
    // seven-bell middle or big group keeps frame 7 and never asks for 8.
    for (int smallCount : {0, 1, 2, 5}) {
        EXPECT_EQ(strikeFrameOf({1, 7}, smallCount), (StrikeFrame{kMiddleSet, 7}));
        EXPECT_EQ(strikeFrameOf({2, 1}, smallCount), (StrikeFrame{kBigSet, 1}));
    }
}

TEST(AnimationFrames, RankCountsFromBellZeroWithinTheGroup) {
    Ensemble ensemble = ensembleOf(3, 4, 5); // big 0-4, middle 5-8, small 9-11
    ensemble.setSelected(6, false);          // a gap in the middle group
    EXPECT_EQ(frameKeyOf(ensemble, 0), (FrameKey{2, 1}));
    EXPECT_EQ(frameKeyOf(ensemble, 4), (FrameKey{2, 5}));
    EXPECT_EQ(frameKeyOf(ensemble, 5), (FrameKey{1, 1}));
    EXPECT_EQ(frameKeyOf(ensemble, 7), (FrameKey{1, 2}));
    EXPECT_EQ(frameKeyOf(ensemble, 11), (FrameKey{0, 3}));
    EXPECT_EQ(frameKeyOf(ensemble, 6), std::nullopt);  // not selected
    EXPECT_EQ(frameKeyOf(ensemble, 14), std::nullopt); // no group
    EXPECT_EQ(frameKeyOf(ensemble, -1), std::nullopt);
}

TEST(AnimationState, CreatedAtRestInTheGeneralStyle) {
    BellAnimationState state;
    for (View view : {View::Usual, View::Full}) {
        EXPECT_EQ(state.shown(view, 0), frame(kSmallThreeSet, 0));
        EXPECT_EQ(state.shown(view, 1), frame(kMiddleSet, 0));
        EXPECT_EQ(state.shown(view, 2), frame(kBigSet, 0));
    }
}

TEST(AnimationState, StrikesShowTheLastBellOfEachGroup) {
    BellAnimationState state;
    const AnimationContext context = contextWith(5, 4, 3);
    state.resetBellImages(context);
    EXPECT_EQ(state.shown(View::Usual, 0), frame(kSmallSet, 0));

    // Two middle bells in one column: the later one's frame stays, also when
    // the later one is the lower rank (the earlier frame lies above it).
    EXPECT_EQ(state.showStrikeFrame(context, FrameKey{1, 3}), BellAnimationState::StrikeResult::Frame);
    state.showStrikeFrame(context, FrameKey{1, 1});
    EXPECT_EQ(state.shown(View::Usual, 1), frame(kMiddleSet, 1));
    // Other groups are untouched.
    EXPECT_EQ(state.shown(View::Usual, 0), frame(kSmallSet, 0));
    EXPECT_EQ(state.shown(View::Usual, 2), frame(kBigSet, 0));

    state.showStrikeFrame(context, FrameKey{2, 3});
    state.resetBellImages(context);
    EXPECT_EQ(state.shown(View::Usual, 1), frame(kMiddleSet, 0));
    EXPECT_EQ(state.shown(View::Usual, 2), frame(kBigSet, 0));
}

TEST(AnimationState, SmallGroupOfTwoOrThreeUsesTheSmallThreeSet) {
    struct Case {
        int smallCount;
        int rank;
        ShownPicture expected;
    };
    const Case cases[] = {
        {2, 1, frame(kSmallThreeSet, 2)},
        {2, 2, frame(kSmallThreeSet, 3)},
        {3, 1, frame(kSmallThreeSet, 1)},
        {4, 4, frame(kSmallSet, 4)},
    };
    for (const Case& c : cases) {
        BellAnimationState state;
        const AnimationContext context = contextWith(c.smallCount, 4, 4);
        state.resetBellImages(context);
        state.showStrikeFrame(context, FrameKey{0, c.rank});
        EXPECT_EQ(state.shown(View::Usual, 0), c.expected) << c.smallCount << " bells, rank " << c.rank;
        state.resetBellImages(context);
        EXPECT_EQ(state.shown(View::Usual, 0), frame(c.smallCount <= 3 ? kSmallThreeSet : kSmallSet, 0));
    }
}

TEST(AnimationState, StrikesThatShowNothing) {
    BellAnimationState state;
    AnimationContext context = contextWith(2, 1, 1); // four bells
    state.resetBellImages(context);
    const BellImageStack before = state.stack(View::Usual);
    // Fewer than five bells, no key, a rank the drawn set lacks.
    EXPECT_EQ(state.showStrikeFrame(context, FrameKey{1, 1}), BellAnimationState::StrikeResult::Nothing);
    context = contextWith(4, 8, 3);
    EXPECT_EQ(state.showStrikeFrame(context, std::nullopt), BellAnimationState::StrikeResult::Nothing);
    EXPECT_EQ(state.showStrikeFrame(context, FrameKey{1, 8}), BellAnimationState::StrikeResult::Nothing);
    for (int group = 0; group < kGroupCount; ++group) {
        EXPECT_EQ(state.shown(View::Usual, group), before.shown(group));
    }
}

// The selection's boundary: four bells show nothing, five already animate,
// in every group.
TEST(AnimationState, FiveSelectedBellsAnimate) {
    for (int group = 0; group < kGroupCount; ++group) {
        SCOPED_TRACE(group);
        for (auto [context, expected] :
             {std::pair{contextWith(2, 1, 1), BellAnimationState::StrikeResult::Nothing},
              std::pair{contextWith(2, 2, 1), BellAnimationState::StrikeResult::Frame}}) {
            BellAnimationState state;
            state.resetBellImages(context);
            EXPECT_EQ(state.showStrikeFrame(context, FrameKey{group, 1}), expected) << context.selectedCount;
        }
    }
}

TEST(AnimationState, ChordGroupShowsItsCaptionAndLeavesTheOthers) {
    BellAnimationState state;
    AnimationContext context = contextWith(5, 4, 3);
    state.resetBellImages(context);
    state.showStrikeFrame(context, FrameKey{2, 2});
    context.groupAnimated = {true, false, true};
    state.ringingLoaded(context);
    EXPECT_EQ(state.shown(View::Usual, 1).kind, Kind::Chords);
    EXPECT_EQ(state.shown(View::Usual, 2), frame(kBigSet, 0));

    // A hand strike of the chord group keeps the caption and changes nothing else.
    EXPECT_EQ(state.showStrikeFrame(context, FrameKey{1, 2}), BellAnimationState::StrikeResult::Chords);
    EXPECT_EQ(state.shown(View::Usual, 1).kind, Kind::Chords);
    EXPECT_EQ(state.shown(View::Usual, 0), frame(kSmallSet, 0));
    // Resets do not animate it.
    state.resetBellImages(context);
    EXPECT_EQ(state.shown(View::Usual, 1).kind, Kind::Chords);

    // The next ringing animates the group again: its caption goes.
    context.groupAnimated = {true, true, true};
    state.ringingLoaded(context);
    EXPECT_EQ(state.shown(View::Usual, 1), frame(kMiddleSet, 0));
}

TEST(AnimationState, StyleSwitchReturnsToRestInTheNewStyle) {
    for (int smallCount : {3, 5}) {
        BellAnimationState state;
        const AnimationContext context = contextWith(smallCount, 4, 3);
        state.resetBellImages(context);
        state.showStrikeFrame(context, FrameKey{1, 2});
        state.showStrikeFrame(context, FrameKey{0, 1});
        state.selectStyle(context, true);
        const int smallSet = smallCount <= 3 ? kSmallThreeSet : kSmallSet;
        EXPECT_EQ(state.shown(View::Usual, 0), frame(smallSet, 0, FrameStyle::Schematic));
        EXPECT_EQ(state.shown(View::Usual, 1), frame(kMiddleSet, 0, FrameStyle::Schematic));
        state.showStrikeFrame(context, FrameKey{2, 3});
        EXPECT_EQ(state.shown(View::Usual, 2), frame(kBigSet, 3, FrameStyle::Schematic));
        state.selectStyle(context, false);
        EXPECT_EQ(state.shown(View::Usual, 2), frame(kBigSet, 0));
        // No picture of the other style is left visible anywhere.
        for (int set = 0; set < kSetCount; ++set) {
            for (int f = 0; f < kFramesPerSet; ++f) {
                EXPECT_FALSE(state.stack(View::Usual).frameVisible(set, f, FrameStyle::Schematic));
            }
        }
    }
}

TEST(AnimationState, AnimationOffShowsTheOffPicturesUntilSwitchedOn) {
    BellAnimationState state;
    AnimationContext context = contextWith(5, 4, 3);
    context.groupAnimated = {true, true, false};
    state.ringingLoaded(context);
    state.showStrikeFrame(context, FrameKey{0, 2});

    context.animationOn = false;
    state.switchAnimation(context);
    for (int group = 0; group < kGroupCount; ++group) {
        EXPECT_EQ(state.shown(View::Usual, group).kind, Kind::AnimationOff);
    }
    // Even a stray strike or reset leaves the off pictures on top.
    state.showStrikeFrame(context, FrameKey{1, 1});
    state.resetBellImages(context);
    for (int group = 0; group < kGroupCount; ++group) {
        EXPECT_EQ(state.shown(View::Usual, group).kind, Kind::AnimationOff);
    }

    context.animationOn = true;
    state.switchAnimation(context);
    EXPECT_EQ(state.shown(View::Usual, 0), frame(kSmallSet, 0));
    EXPECT_EQ(state.shown(View::Usual, 1), frame(kMiddleSet, 0));
    EXPECT_EQ(state.shown(View::Usual, 2).kind, Kind::Chords);
}

TEST(AnimationState, FullViewFlagChoosesTheImagesActedOn) {
    BellAnimationState state;
    const AnimationContext context = contextWith(5, 4, 3);
    state.resetBellImages(context);
    state.setFullView(true);
    state.resetBellImages(context);
    state.showStrikeFrame(context, FrameKey{1, 4});
    EXPECT_EQ(state.shown(View::Full, 1), frame(kMiddleSet, 4));
    EXPECT_EQ(state.shown(View::Usual, 1), frame(kMiddleSet, 0));
    state.setFullView(false);
    state.showStrikeFrame(context, FrameKey{2, 1});
    EXPECT_EQ(state.shown(View::Usual, 2), frame(kBigSet, 1));
    EXPECT_EQ(state.shown(View::Full, 2), frame(kBigSet, 0));
}

TEST(AnimationState, AnimationSwitchReachesTheViewShownNext) {
    // Switched off in one view, the other view must not come back animated.
    BellAnimationState state;
    AnimationContext context = contextWith(5, 4, 3);
    state.setFullView(true);
    context.animationOn = false;
    state.switchAnimation(context);
    state.setFullView(false);
    state.switchAnimation(context); // what bringing the usual view forward does
    EXPECT_EQ(state.shown(View::Usual, 0).kind, Kind::AnimationOff);
    context.animationOn = true;
    state.switchAnimation(context);
    state.setFullView(true);
    state.switchAnimation(context);
    EXPECT_EQ(state.shown(View::Full, 0), frame(kSmallSet, 0));
}

// The transport's rules: what plays, where it stops or loops, and seeking.

#include "TransportFakes.h"

#include <gtest/gtest.h>

using transport::RingingLoader;

namespace {

// Fires ticks exactly on time until the timer stops or `limit` ticks ran.
void runOnTime(TransportRig& rig, int limit) {
    for (int i = 0; i < limit && rig.fire(); ++i) {
    }
}

} // namespace

// A three-column common ringing: column 0 at once, 1 and 2 one interval
// apart, then the next tick stops and rewinds (a loop or an overrun would show).
TEST(TransportEnd, PlainRingingPlaysOnceAndStopsAtColumnZero) {
    TransportRig rig;
    rig.load(3);
    rig.sequencer.play();
    ASSERT_EQ(rig.host.struckColumns(), (std::vector<int>{0}));
    EXPECT_EQ(rig.host.strikes[0].frame, 0);
    runOnTime(rig, 10);
    EXPECT_EQ(rig.host.struckColumns(), (std::vector<int>{0, 1, 2}));
    const std::int64_t step = 144 * 48000 / 1000;
    EXPECT_EQ(rig.host.strikes[1].frame, step);
    EXPECT_EQ(rig.host.strikes[2].frame, 2 * step);
    EXPECT_FALSE(rig.sequencer.isRunning());
    EXPECT_FALSE(rig.host.scheduledMs.has_value());
    EXPECT_EQ(rig.state.currentColumn, 0);
    EXPECT_EQ(rig.host.slider, 0);
    EXPECT_EQ(rig.host.page, 1);
    EXPECT_EQ(rig.host.playTime, "0:00:00");
}

// Group-ringing mode loops the 128-column ringing: after 127 comes 0 again,
// and the tick's slider move never repeats a column although the slider ends at 126.
TEST(TransportEnd, GroupRingingLoopsWithoutRepeatingAColumn) {
    TransportRig rig;
    rig.state.groupRingingMode = true;
    rig.load(128, RingingLoader::GroupChoice);
    EXPECT_EQ(rig.host.sliderMax, 126);
    rig.sequencer.play();
    while (rig.host.strikes.size() < 260 && rig.fire()) {
    }
    ASSERT_EQ(rig.host.strikes.size(), 260u);
    for (std::size_t i = 0; i < rig.host.strikes.size(); ++i) {
        EXPECT_EQ(rig.host.strikes[i].column, static_cast<int>(i % 128)) << "strike " << i;
    }
    EXPECT_TRUE(rig.sequencer.isRunning());
}

// Play-all-in-turn: at the end of the last list ringing the first one loads
// and plays from column 0, one interval after the last column.
TEST(TransportEnd, PlayAllInTurnWrapsFromTheLastToTheFirst) {
    TransportRig rig;
    const std::vector<int> lengths{4, 5, 6};
    int selected = 2;
    rig.host.inTurn = true;
    rig.host.onSelectNextInTurn = [&] { selected = (selected + 1) % 3; };
    rig.host.onPlayNextInTurn = [&] {
        rig.sequencer.resetPlayback();
        rig.host.size = lengths[selected];
        rig.sequencer.setInterval(100);
        rig.sequencer.applyLoaderRanges(RingingLoader::Chooser);
        rig.sequencer.enableTimer();
    };
    rig.load(lengths[2], RingingLoader::Chooser);
    rig.sequencer.play();
    while (rig.host.strikes.size() < 6 + 4 + 2 && rig.fire()) {
    }
    EXPECT_EQ(selected, 1); // the third, then the first (4 columns), now the second
    EXPECT_EQ(rig.host.struckColumns(), (std::vector<int>{0, 1, 2, 3, 4, 5, 0, 1, 2, 3, 0, 1}));
    EXPECT_TRUE(rig.host.sliderEnabled);
    // Column 0 of the next ringing lands one old interval after the last column;
    // it then runs at the new ringing's interval.
    const std::int64_t old = 144 * 48;
    EXPECT_EQ(rig.host.strikes[6].frame, 6 * old);
    EXPECT_EQ(rig.host.strikes[7].frame, 6 * old + 100 * 48);
}

// A failing load in play-all-in-turn ends the tick but never leaves the
// progress slider disabled.
TEST(TransportEnd, FailedNextInTurnLeavesTheSliderEnabled) {
    TransportRig rig;
    rig.host.inTurn = true;
    rig.host.onPlayNextInTurn = [] { throw std::runtime_error("unreadable list ringing"); };
    rig.load(2, RingingLoader::Chooser);
    rig.sequencer.play();
    rig.fire();
    EXPECT_THROW(rig.fire(), std::runtime_error);
    EXPECT_TRUE(rig.host.sliderEnabled);
    EXPECT_FALSE(rig.sequencer.isRunning());
}

// Group-ringing mode is not touched by a reset (a chooser load), so a later
// ringing loops too; only clearing the mode (a common choice) makes it stop.
TEST(TransportEnd, GroupModeSurvivesResetsUntilCleared) {
    TransportRig rig;
    rig.state.groupRingingMode = true;
    rig.sequencer.resetPlayback();
    rig.load(2, RingingLoader::Chooser);
    rig.sequencer.play();
    runOnTime(rig, 3);
    EXPECT_EQ(rig.host.struckColumns(), (std::vector<int>{0, 1, 0, 1}));
    rig.state.groupRingingMode = false;
    // The passes the engine already holds are handed again under the new rule.
    rig.sequencer.soundsChanged();
    runOnTime(rig, 10);
    EXPECT_EQ(rig.host.struckColumns(), (std::vector<int>{0, 1, 0, 1}));
    EXPECT_FALSE(rig.sequencer.isRunning());
}

// The generator draws at the natural end only (when the engine is handed the
// next pass, so once per pass); Stop ends generator mode but keeps
// group-ringing mode, so the combination then loops.
TEST(TransportEnd, GeneratorDrawsAtTheEndAndStopEndsIt) {
    TransportRig rig;
    int draws = 0;
    rig.host.onGenerateNext = [&] { ++draws; };
    rig.state.groupRingingMode = true;
    rig.state.generatorMode = true;
    rig.load(3, RingingLoader::GroupChoice);
    rig.sequencer.play();
    runOnTime(rig, 5);
    // Five columns shown of three-column passes: the second pass is under
    // way, and the engine holds the look-ahead beyond it.
    const int passesHanded =
        1 + (rig.host.sounds.back().frame - rig.host.sounds.front().frame) / (3 * 144 * 48);
    EXPECT_EQ(draws, passesHanded - 1);
    EXPECT_GE(draws, 1);
    rig.sequencer.stop();
    EXPECT_FALSE(rig.state.generatorMode);
    EXPECT_TRUE(rig.state.groupRingingMode);
    const int drawsAtStop = draws;
    rig.sequencer.play();
    runOnTime(rig, 5);
    EXPECT_EQ(draws, drawsAtStop);
}

// Play with nothing loaded starts and sounds nothing; Play while playing only
// strikes column 0 again when standing at column 0.
TEST(TransportPlay, NothingLoadedAndRepeatedPlay) {
    TransportRig rig;
    rig.sequencer.play();
    EXPECT_TRUE(rig.host.strikes.empty());
    EXPECT_FALSE(rig.sequencer.isRunning());
    EXPECT_FALSE(rig.host.scheduledMs.has_value());

    rig.load(10);
    rig.sequencer.play();
    rig.sequencer.play();
    EXPECT_EQ(rig.host.struckColumns(), (std::vector<int>{0, 0}));
    rig.fire();
    rig.sequencer.play();
    EXPECT_EQ(rig.host.struckColumns(), (std::vector<int>{0, 0, 1}));
    EXPECT_EQ(rig.host.sliderMax, 10);
}

// The page selector moved to 2 while paused at column 10 puts the slider on
// 64 and the column on 64; Play then goes on with column 65.
TEST(TransportSeek, PageSelectorWhilePaused) {
    TransportRig rig;
    rig.host.notes = true;
    rig.load(200);
    rig.state.currentColumn = 10;
    rig.host.setPagePosition(2);
    rig.sequencer.pageChosen(2);
    EXPECT_EQ(rig.state.currentPage, 1);
    EXPECT_EQ(rig.host.slider, 64);
    EXPECT_EQ(rig.state.currentColumn, 64);
    rig.sequencer.play();
    rig.fire();
    EXPECT_EQ(rig.host.struckColumns(), (std::vector<int>{65}));
}

// Rewind and fast-forward stop at the ends and leave the slider alone.
TEST(TransportSeek, RewindAndFastForwardAtTheEnds) {
    struct Case {
        int size;
        int column;
        bool forward;
        int expected;
    };
    const Case cases[] = {
        {100, 3, false, 0},   // rewind may not go below column 0
        {100, 50, false, 45}, // five columns back
        {100, 97, true, 99},  // fast-forward stops at the last column
        {100, 10, true, 15},  // five columns on
        {0, 0, true, -1},     // empty score: the column before the first
        {100, -1, false, 0},  // after a page change
    };
    for (const Case& c : cases) {
        TransportRig rig;
        rig.load(c.size);
        rig.state.currentColumn = c.column;
        rig.host.slider = 7;
        if (c.forward) {
            rig.sequencer.fastForward();
        } else {
            rig.sequencer.rewind();
        }
        EXPECT_EQ(rig.state.currentColumn, c.expected) << c.size << " " << c.column;
        EXPECT_EQ(rig.host.slider, 7);
    }
}

// Moving the slider sets the column and the page and redraws only when the page changes.
TEST(TransportSeek, SliderSetsColumnAndPage) {
    TransportRig rig;
    rig.host.notes = true;
    rig.load(300);
    rig.sequencer.sliderMoved(70);
    EXPECT_EQ(rig.state.currentColumn, 70);
    EXPECT_EQ(rig.state.currentPage, 1);
    EXPECT_EQ(rig.host.page, 2);
    EXPECT_EQ(rig.host.redraws, 1);
    rig.sequencer.sliderMoved(100);
    EXPECT_EQ(rig.host.redraws, 1);
    rig.sequencer.sliderMoved(10);
    EXPECT_EQ(rig.host.redraws, 2);
}

// The sweep of finished voices runs when column 1, 65, 129 is struck, not 64.
TEST(TransportTick, SweepStartsAtColumn65) {
    TransportRig rig;
    rig.load(200);
    rig.sequencer.play();
    while (rig.host.strikes.size() < 150 && rig.fire()) {
    }
    EXPECT_EQ(rig.host.sweepAfterColumn, (std::vector<int>{1, 65, 129}));
}

// With the score shown the tick redraws at a page change only and moves the cursor every column.
TEST(TransportTick, ScoreRedrawnOnlyAtPageChanges) {
    TransportRig rig;
    rig.host.notes = true;
    rig.load(130);
    rig.sequencer.play();
    const int cursorsBefore = rig.host.cursors;
    while (rig.host.strikes.size() < 130 && rig.fire()) {
    }
    EXPECT_EQ(rig.host.redraws, 2); // pages 1 and 2
    EXPECT_EQ(rig.host.cursors - cursorsBefore, 129);
    EXPECT_EQ(rig.host.page, 3);
    EXPECT_EQ(rig.host.slider, 129);
}

// Reset rewinds, disables the page selector, clears the scores and ends generator mode.
TEST(TransportTick, ResetRewindsAndDisables) {
    TransportRig rig;
    rig.host.notes = true;
    rig.load(300);
    EXPECT_TRUE(rig.host.pageEnabled);
    rig.sequencer.play();
    rig.fire();
    rig.sequencer.resetPlayback();
    EXPECT_FALSE(rig.sequencer.isRunning());
    EXPECT_FALSE(rig.host.scheduledMs.has_value());
    EXPECT_EQ(rig.state.currentColumn, 0);
    EXPECT_EQ(rig.host.size, 0);
    EXPECT_FALSE(rig.host.pageEnabled);
    EXPECT_EQ(rig.host.scoreResets, 1);
    EXPECT_EQ(rig.host.animationResets, 1);
    // Generator mode survives one reset when asked to, then the request is gone.
    rig.state.generatorMode = true;
    rig.state.keepGenerator = true;
    rig.sequencer.resetPlayback();
    EXPECT_TRUE(rig.state.generatorMode);
    EXPECT_FALSE(rig.state.keepGenerator);
    rig.sequencer.resetPlayback();
    EXPECT_FALSE(rig.state.generatorMode);
}

// Page selector and slider ranges by loader.
TEST(TransportRanges, ByLoader) {
    struct Case {
        RingingLoader loader;
        int columns;
        int pageMax;
        bool pageEnabled;
        int sliderMax;
    };
    const Case cases[] = {
        {RingingLoader::CommonChoice, 300, 5, true, 299}, // Ceiling(300/64)
        {RingingLoader::CommonChoice, 64, 1, false, 63},  // exactly one page
        {RingingLoader::CommonChoice, 0, 1, false, 0},    // empty: at least one page
        {RingingLoader::GroupChoice, 128, 2, true, 126},  // always two pages
        {RingingLoader::Chooser, 64, 2, true, 64},        // Floor(64/64)+1
        {RingingLoader::Chooser, 63, 1, false, 63},
    };
    for (const Case& c : cases) {
        const transport::PlaybackRanges r = transport::rangesForLoader(c.loader, c.columns);
        EXPECT_EQ(r.pageMaximum, c.pageMax) << c.columns;
        EXPECT_EQ(r.pageEnabled, c.pageEnabled) << c.columns;
        EXPECT_EQ(r.sliderMaximum, c.sliderMax) << c.columns;
    }
}

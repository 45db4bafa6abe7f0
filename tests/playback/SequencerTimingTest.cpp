// Every struck column lies exactly on its frame of the grid, whatever the
// timer does: jitter, late ticks, pause, seeks, tempo changes and loop wraps.

#include "TransportFakes.h"

#include <gtest/gtest.h>

using transport::RingingLoader;

namespace {

// Frame of the n-th column after a start at `startFrame`, from exact rational
// time (interval x rate / 1000 frames per column, never rounded per column).
std::int64_t gridFrame(std::int64_t startFrame, std::int64_t n, int interval, int rate) {
    return (startFrame * 1000 + n * interval * rate) / 1000;
}

} // namespace

// An hour of a looping 128-column ringing at 144 ms and 44.1 kHz (6350.4 frames
// per column) with ticks jittered by up to 20 ms: not one frame of drift across
// 195 wraps, and every strike handed over before its frame plus a 30 ms lead.
TEST(SequencerTiming, HourOfLoopingStaysOnTheGrid) {
    TransportRig rig(44100);
    rig.state.groupRingingMode = true;
    rig.load(128, RingingLoader::GroupChoice);
    rig.advance(1234);
    const std::int64_t start = rig.clock.frame;
    rig.sequencer.play();
    std::mt19937 random(7);
    const std::size_t strikes = 3600 * 1000 / 144 + 1;
    rig.runUntilStrikes(strikes, 20.0, random);
    ASSERT_EQ(rig.host.strikes.size(), strikes);
    const std::int64_t lead = 44100 * 30 / 1000;
    for (std::size_t n = 0; n < strikes; ++n) {
        const Strike& s = rig.host.strikes[n];
        ASSERT_EQ(s.column, static_cast<int>(n % 128)) << n;
        ASSERT_EQ(s.frame, gridFrame(start, n, 144, 44100)) << n;
        ASSERT_LT(s.issuedAt, s.frame + lead) << n;
    }
}

// Pause and Play start a new grid at the moment of Play; seeks by slider,
// page, rewind and fast-forward change the columns but not the grid's time.
TEST(SequencerTiming, PauseAndSeeksKeepTheGrid) {
    TransportRig rig;
    std::mt19937 random(11);
    rig.load(1000);
    rig.sequencer.play();
    rig.runUntilStrikes(20, 20.0, random);
    rig.sequencer.pause();
    rig.advance(3777);
    const std::int64_t resume = rig.clock.frame;
    rig.sequencer.play(); // goes on with column 20
    rig.runUntilStrikes(25, 20.0, random);
    rig.sequencer.sliderMoved(500); // the user drags the slider
    rig.runUntilStrikes(30, 20.0, random);
    rig.sequencer.rewind();
    rig.runUntilStrikes(35, 20.0, random);
    rig.sequencer.fastForward();
    rig.runUntilStrikes(40, 20.0, random);
    rig.host.setPagePosition(3);
    rig.sequencer.pageChosen(3);
    rig.runUntilStrikes(45, 20.0, random);

    const std::vector<int> expectedColumns{0,   1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  11,
                                           12,  13,  14,  15,  16,  17,  18,  19,  20,  21,  22,  23,
                                           24,  501, 502, 503, 504, 505, 501, 502, 503, 504, 505, 511,
                                           512, 513, 514, 515, 129, 130, 131, 132, 133};
    EXPECT_EQ(rig.host.struckColumns(), expectedColumns);
    for (std::size_t n = 0; n < 20; ++n) {
        EXPECT_EQ(rig.host.strikes[n].frame, gridFrame(0, n, 144, 48000)) << n;
    }
    for (std::size_t n = 20; n < 45; ++n) {
        EXPECT_EQ(rig.host.strikes[n].frame, gridFrame(resume, n - 19, 144, 48000)) << n;
    }
}

// A tempo change while playing: the next column follows the last struck one
// by the new interval, on exact frames from then on.
TEST(SequencerTiming, TempoChangeKeepsTheGrid) {
    TransportRig rig(44100);
    std::mt19937 random(3);
    rig.load(1000);
    rig.sequencer.play();
    rig.runUntilStrikes(10, 20.0, random);
    const std::int64_t last = rig.host.strikes.back().frame;
    rig.host.setTempoSliderPosition(97, true);
    EXPECT_EQ(rig.sequencer.interval(), 97);
    rig.runUntilStrikes(400, 20.0, random);
    // The change comes from the exact time of column 9, not from its rounded frame.
    const std::int64_t fine9 = 9 * 144 * 44100;
    for (std::size_t n = 10; n < 400; ++n) {
        const std::int64_t expected = (fine9 + static_cast<std::int64_t>(n - 9) * 97 * 44100) / 1000;
        ASSERT_EQ(rig.host.strikes[n].frame, expected) << n;
    }
    EXPECT_GT(rig.host.strikes[10].frame, last);
}

// A tick late by more than an interval shows every missed column, each with
// its own frame, in order. A stall longer than the engine's look-ahead shows
// the columns the engine sounded meanwhile (on their frames), then restarts
// the grid at the present instead of sounding a burst.
TEST(SequencerTiming, LateTicksCatchUpAndStallsRestart) {
    TransportRig rig;
    rig.load(1000);
    rig.sequencer.play();
    rig.fire();
    rig.fire(+50.0);  // late, but the next column is not yet near: one column
    rig.fire(+200.0); // late by more than an interval: two columns, each on its frame
    ASSERT_EQ(rig.host.struckColumns(), (std::vector<int>{0, 1, 2, 3, 4}));
    for (std::size_t n = 0; n < 5; ++n) {
        EXPECT_EQ(rig.host.strikes[n].frame, gridFrame(0, n, 144, 48000)) << n;
    }
    // A stall of ten seconds: the engine held columns 5-9.
    rig.advance(10000);
    const std::int64_t resumed = rig.clock.frame;
    rig.sequencer.tick();
    rig.fire();
    ASSERT_EQ(rig.host.struckColumns(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    for (std::size_t n = 5; n < 10; ++n) {
        EXPECT_EQ(rig.host.strikes[n].frame, gridFrame(0, n, 144, 48000)) << n;
    }
    EXPECT_EQ(rig.host.strikes[10].frame, resumed);
    EXPECT_EQ(rig.host.strikes[11].frame, resumed + 144 * 48);
    for (const Sound& s : rig.host.sounds) {
        EXPECT_LE(s.issuedAt, s.frame) << s.column;
    }
}

// An early tick strikes its column ahead of time on the same frame; a tick
// far too early strikes nothing and asks again.
TEST(SequencerTiming, EarlyTicks) {
    TransportRig rig;
    rig.load(100);
    rig.sequencer.play();
    rig.fire(-60.0);
    ASSERT_EQ(rig.host.struckColumns(), (std::vector<int>{0, 1}));
    EXPECT_EQ(rig.host.strikes[1].frame, 144 * 48);
    EXPECT_LT(rig.host.strikes[1].issuedAt, rig.host.strikes[1].frame);
    rig.fire(-100.0);
    EXPECT_EQ(rig.host.strikes.size(), 2u);
    ASSERT_TRUE(rig.host.scheduledMs.has_value());
    rig.fire();
    EXPECT_EQ(rig.host.strikes[2].frame, 2 * 144 * 48);
}

// The timer is asked for the next column's time, so ticks do not drift with
// the timer's own lateness.
TEST(SequencerTiming, TimerAimsAtTheNextColumn) {
    TransportRig rig;
    rig.load(100);
    rig.sequencer.play();
    ASSERT_TRUE(rig.host.scheduledMs.has_value());
    EXPECT_EQ(*rig.host.scheduledMs, 144);
    rig.fire(+10.0);
    EXPECT_EQ(*rig.host.scheduledMs, 134);
    rig.fire(-10.0);
    EXPECT_EQ(*rig.host.scheduledMs, 154);
}

// An interval of 0 or less from a ringing header never makes the tick spin.
TEST(SequencerTiming, IntervalHasALeastValue) {
    TransportRig rig;
    rig.state.groupRingingMode = true;
    rig.load(4);
    rig.sequencer.setInterval(0);
    EXPECT_EQ(rig.sequencer.interval(), transport::kLeastInterval);
    rig.sequencer.setInterval(-50);
    EXPECT_EQ(rig.sequencer.interval(), transport::kLeastInterval);
    rig.sequencer.play();
    rig.advance(100);
    rig.sequencer.tick();
    // 100 ms at 1 ms a column: the columns the engine held (at most 64)
    // and then a new grid, not an endless loop.
    EXPECT_GT(rig.host.strikes.size(), 60u);
    EXPECT_LT(rig.host.strikes.size(), 110u);
}

// Play from a frame to come (the bar after a count-in): column 0 is handed
// to the engine at once and struck on exactly that frame however the timer
// jitters, and the grid runs on from it. Stop before it withdraws it; a frame
// already past when Play can start (its samples were not ready) gives way to
// the present.
TEST(SequencerTiming, PlayAtStrikesColumnZeroOnTheFrameGiven) {
    TransportRig rig;
    rig.load(100);
    rig.advance(1000);
    const std::int64_t called = rig.clock.frame;
    const std::int64_t first = called + 16 * 144 * 48; // sixteen columns on
    rig.sequencer.playAt(first);
    ASSERT_FALSE(rig.host.sounds.empty());
    EXPECT_EQ(rig.host.sounds.front().column, 0);
    EXPECT_EQ(rig.host.sounds.front().frame, first);
    EXPECT_EQ(rig.host.sounds.front().issuedAt, called);
    EXPECT_TRUE(rig.host.strikes.empty()); // shown when its time comes
    std::mt19937 random(5);
    rig.runUntilStrikes(20, 20.0, random);
    ASSERT_EQ(rig.host.strikes.size(), 20u);
    for (std::size_t n = 0; n < 20; ++n) {
        EXPECT_EQ(rig.host.strikes[n].column, static_cast<int>(n));
        EXPECT_EQ(rig.host.strikes[n].frame, gridFrame(first, static_cast<std::int64_t>(n), 144, 48000)) << n;
    }

    // The tempo changed and the sounds handed again before column 0: it
    // keeps its frame, and the next column follows it at the new tempo.
    rig.sequencer.stop();
    rig.host.strikes.clear();
    const std::int64_t second = rig.clock.frame + 48000;
    rig.sequencer.playAt(second);
    rig.advance(100);
    rig.sequencer.soundsChanged();
    rig.sequencer.setInterval(100);
    rig.runUntilStrikes(3, 20.0, random);
    ASSERT_EQ(rig.host.strikes.size(), 3u);
    EXPECT_EQ(rig.host.strikes[0].column, 0);
    EXPECT_EQ(rig.host.strikes[0].frame, second);
    EXPECT_EQ(rig.host.strikes[1].column, 1);
    EXPECT_EQ(rig.host.strikes[1].frame, second + 4800);
    EXPECT_EQ(std::count_if(rig.host.sounds.begin(), rig.host.sounds.end(),
                            [&](const Sound& sound) { return sound.frame == second; }),
              1);

    rig.sequencer.stop();
    rig.host.sounds.clear();
    rig.host.strikes.clear();
    rig.sequencer.playAt(rig.clock.frame + 48000);
    ASSERT_FALSE(rig.host.sounds.empty());
    rig.advance(200);
    rig.sequencer.stop();
    EXPECT_TRUE(rig.host.sounds.empty());
    EXPECT_TRUE(rig.host.strikes.empty());
    EXPECT_FALSE(rig.host.scheduledMs.has_value());

    rig.host.ready = false;
    rig.sequencer.playAt(rig.clock.frame + 480);
    EXPECT_TRUE(rig.host.sounds.empty());
    rig.advance(50);
    rig.host.ready = true;
    ASSERT_TRUE(rig.fire());
    ASSERT_EQ(rig.host.strikes.size(), 1u);
    EXPECT_EQ(rig.host.strikes[0].frame, rig.clock.frame);
    // Stopped and played again, Play starts at the present as ever.
    rig.sequencer.stop();
    rig.advance(30);
    rig.sequencer.play();
    EXPECT_EQ(rig.host.strikes.back().column, 0);
    EXPECT_EQ(rig.host.strikes.back().frame, rig.clock.frame);
}

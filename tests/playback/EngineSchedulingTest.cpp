// The engine holds the columns ahead of the play position: what it sounds
// stays on the grid whatever the window's thread does, and every change of
// the transport withdraws what it holds from the present frame on.

#include "TransportFakes.h"

#include <gtest/gtest.h>

#include <set>

namespace {

std::int64_t gridFrame(std::int64_t startFrame, std::int64_t n, int interval, int rate) {
    return (startFrame * 1000 + n * interval * rate) / 1000;
}

// The columns the engine sounds, in order, each exactly once.
std::vector<int> soundedColumns(const FakeHost& host) {
    std::vector<int> columns;
    for (const Sound& s : host.sounds) {
        columns.push_back(s.column);
    }
    return columns;
}

} // namespace

// Stalls of the window's thread up to the look-ahead: every column is handed
// before its frame and sounds on it, none twice, none missing; only what is
// shown comes late (and then in order, with its own frame).
TEST(EngineScheduling, WindowStallsLeaveEverySoundOnItsFrame) {
    for (int stallMs : {50, 100, 300, 500, 700}) {
        SCOPED_TRACE(stallMs);
        TransportRig rig;
        rig.load(1000);
        rig.sequencer.play();
        std::mt19937 random(5);
        rig.runUntilStrikes(20, 5.0, random);
        rig.advance(stallMs); // the window does nothing meanwhile
        rig.runUntilStrikes(60, 5.0, random);

        ASSERT_GE(rig.host.sounds.size(), 60u);
        for (std::size_t n = 0; n < rig.host.sounds.size(); ++n) {
            const Sound& s = rig.host.sounds[n];
            ASSERT_EQ(s.column, static_cast<int>(n));
            ASSERT_EQ(s.frame, gridFrame(0, static_cast<std::int64_t>(n), 144, 48000));
            ASSERT_LE(s.issuedAt, s.frame) << "handed after its frame: column " << n;
        }
        for (std::size_t n = 0; n < 60; ++n) {
            ASSERT_EQ(rig.host.strikes[n].column, static_cast<int>(n));
            ASSERT_EQ(rig.host.strikes[n].frame, rig.host.sounds[n].frame);
        }
        EXPECT_TRUE(rig.host.cancels.empty());
    }
}

// The engine holds at least the look-ahead and at least two columns, but
// never more than the most a fast tempo may put in its queue.
TEST(EngineScheduling, LookAheadBounds) {
    struct Case {
        int interval;
        std::size_t least;
        std::size_t most;
    };
    for (const Case c : {Case{144, 5, 5}, Case{1000, 2, 2}, Case{3000, 2, 2}, Case{5, 64, 64}}) {
        SCOPED_TRACE(c.interval);
        TransportRig rig;
        rig.load(100000);
        rig.sequencer.setInterval(c.interval);
        rig.sequencer.play();
        EXPECT_GE(static_cast<std::size_t>(rig.sequencer.heldColumns()), c.least);
        EXPECT_LE(static_cast<std::size_t>(rig.sequencer.heldColumns()), c.most);
    }
}

// Stop, pause and a seek during a stall: nothing handed for a frame from the
// present on sounds; after a seek the grid runs on with the new columns.
TEST(EngineScheduling, TransportChangesWithdrawTheHeldColumns) {
    for (int action = 0; action < 3; ++action) {
        SCOPED_TRACE(action);
        TransportRig rig;
        rig.load(1000);
        rig.sequencer.play();
        std::mt19937 random(9);
        rig.runUntilStrikes(10, 0.0, random);
        rig.advance(200); // a stall; the user's click is served after it
        const std::int64_t now = rig.clock.frame;
        if (action == 0) {
            rig.sequencer.stop();
        } else if (action == 1) {
            rig.sequencer.pause();
        } else {
            rig.sequencer.sliderMoved(500);
        }
        ASSERT_FALSE(rig.host.cancels.empty());
        // Stop and pause withdraw all that has not started; a seek keeps
        // the column that started during the stall and withdraws the rest.
        if (action < 2) {
            EXPECT_EQ(rig.host.cancels.front(), now);
        } else {
            EXPECT_GE(rig.host.cancels.front(), now);
        }
        for (const Sound& s : rig.host.sounds) {
            if (s.column < 500) {
                EXPECT_LT(s.frame, now) << "column " << s.column << " still sounds after the change";
            }
        }
        if (action == 2) {
            // The grid's time runs on from the last column that sounded.
            const Sound& last = *std::find_if(rig.host.sounds.rbegin(), rig.host.sounds.rend(),
                                              [](const Sound& s) { return s.column < 500; });
            const auto first = std::find_if(rig.host.sounds.begin(), rig.host.sounds.end(),
                                            [](const Sound& s) { return s.column >= 500; });
            ASSERT_NE(first, rig.host.sounds.end());
            EXPECT_EQ(first->column, 501);
            EXPECT_EQ(first->frame, last.frame + 144 * 48);
        } else {
            EXPECT_FALSE(rig.sequencer.isRunning());
            EXPECT_EQ(rig.sequencer.heldColumns(), 0);
        }
    }
}

// A tempo change re-stamps the held columns that have not started: they
// follow the last one sounding by the new interval; a group switched off or
// on hands the same columns again on the same frames.
TEST(EngineScheduling, TempoAndGroupChangesReHandTheHeldColumns) {
    TransportRig rig(44100);
    rig.load(1000);
    rig.sequencer.play();
    std::mt19937 random(4);
    rig.runUntilStrikes(10, 0.0, random);
    const std::vector<Sound> before = rig.host.sounds;
    ASSERT_GT(before.size(), 12u);

    rig.sequencer.soundsChanged();
    ASSERT_EQ(rig.host.cancels.size(), 1u);
    EXPECT_EQ(rig.host.sounds.size(), before.size());
    for (std::size_t n = 0; n < before.size(); ++n) {
        EXPECT_EQ(rig.host.sounds[n].column, before[n].column);
        EXPECT_EQ(rig.host.sounds[n].frame, before[n].frame);
    }

    rig.host.setTempoSliderPosition(97, true);
    rig.runUntilStrikes(40, 0.0, random);
    const std::int64_t fine9 = 9 * 144 * 44100;
    const std::vector<int> sounded = soundedColumns(rig.host);
    EXPECT_EQ(sounded.size(), std::set<int>(sounded.begin(), sounded.end()).size())
        << "a column sounds twice";
    for (const Sound& s : rig.host.sounds) {
        if (s.column >= 10) {
            ASSERT_EQ(s.frame, (fine9 + static_cast<std::int64_t>(s.column - 9) * 97 * 44100) / 1000)
                << s.column;
        }
    }
}

// A ringing that stops at its end hands nothing past it; a group ringing
// loops without a gap, column 0 taking the time after the last column.
TEST(EngineScheduling, EndsAndLoops) {
    {
        TransportRig rig;
        rig.load(5);
        rig.sequencer.play();
        std::mt19937 random(1);
        rig.runUntilStrikes(100, 0.0, random);
        EXPECT_EQ(soundedColumns(rig.host), (std::vector<int>{0, 1, 2, 3, 4}));
        EXPECT_FALSE(rig.sequencer.isRunning());
    }
    {
        TransportRig rig;
        rig.state.groupRingingMode = true;
        rig.load(3, transport::RingingLoader::GroupChoice);
        rig.sequencer.play();
        std::mt19937 random(1);
        rig.runUntilStrikes(8, 0.0, random);
        for (std::size_t n = 0; n < rig.host.sounds.size(); ++n) {
            EXPECT_EQ(rig.host.sounds[n].column, static_cast<int>(n % 3));
            EXPECT_EQ(rig.host.sounds[n].frame, gridFrame(0, static_cast<std::int64_t>(n), 144, 48000));
        }
    }
}

// Play waits until the samples are ready, looking again on the timer, and
// says so only once the wait has lasted; Stop ends the wait.
TEST(EngineScheduling, PlayWaitsForTheSamples) {
    TransportRig rig;
    rig.load(100);
    rig.host.ready = false;
    rig.sequencer.play();
    EXPECT_FALSE(rig.sequencer.isRunning());
    EXPECT_TRUE(rig.sequencer.waitingForSounds());
    EXPECT_TRUE(rig.host.sounds.empty());
    ASSERT_TRUE(rig.host.scheduledMs.has_value());
    rig.fire();
    EXPECT_TRUE(rig.host.waitingShown.empty()); // not after 10 ms
    rig.advance(100);
    rig.fire();
    EXPECT_EQ(rig.host.waitingShown, std::vector<bool>{true});
    rig.host.ready = true;
    const std::int64_t start = rig.clock.frame + 10 * 48;
    rig.fire();
    EXPECT_TRUE(rig.sequencer.isRunning());
    EXPECT_EQ(rig.host.waitingShown, (std::vector<bool>{true, false}));
    ASSERT_FALSE(rig.host.sounds.empty());
    EXPECT_EQ(rig.host.sounds.front().column, 0);
    EXPECT_EQ(rig.host.sounds.front().frame, start);

    rig.sequencer.stop();
    rig.host.ready = false;
    rig.sequencer.play();
    EXPECT_TRUE(rig.sequencer.waitingForSounds());
    rig.sequencer.stop();
    EXPECT_FALSE(rig.sequencer.waitingForSounds());
    EXPECT_FALSE(rig.host.scheduledMs.has_value());
}

// Tempo and volume clamps and captions, and the time texts.

#include "TransportFakes.h"
#include "playback/TransportText.h"

#include <gtest/gtest.h>

using namespace transport;

// The tempo buttons through the slider, which stops at 50 and 1000.
TEST(TempoControls, ButtonsClampAndCaption) {
    struct Case {
        int position;
        bool faster;
        int expectedInterval;
        const char* caption;
    };
    const Case cases[] = {
        {1000, false, 1000, "Темп: 50"}, // slower at the slow end stays at 1000
        {60, true, 50, "Темп: 1000"},    // faster below 50 stops at 50
        {144, true, 119, "Темп: 931"},   // one step of 25
        {990, false, 1000, "Темп: 50"},  // 1015 is held by the slider at 1000
        {50, true, 50, "Темп: 1000"},    // already fastest
    };
    for (const Case& c : cases) {
        TransportRig rig;
        rig.host.tempo = c.position;
        rig.state.interval = c.position;
        if (c.faster) {
            rig.sequencer.faster();
        } else {
            rig.sequencer.slower();
        }
        EXPECT_EQ(rig.host.tempo, c.expectedInterval) << c.position;
        EXPECT_EQ(rig.sequencer.interval(), c.expectedInterval) << c.position;
        EXPECT_EQ(rig.host.tempoCaption, QString::fromUtf8(c.caption)) << c.position;
    }
    // Without the slider's range the rules give these positions.
    EXPECT_EQ(slowerTempoPosition(1040), 1050);
    EXPECT_EQ(fasterTempoPosition(74), 50);
}

// ShowTempo puts the interval on the slider; an interval outside the slider's
// range is clamped only when the slider moves.
TEST(TempoControls, ShowTempoClampsThroughTheSlider) {
    TransportRig rig;
    rig.host.size = 128;
    rig.sequencer.showTempo();
    EXPECT_EQ(rig.host.tempo, 144);
    EXPECT_EQ(rig.host.tempoCaption, "Темп: 906");
    EXPECT_EQ(rig.host.total, "Общая длительность: 0:00:18");

    rig.sequencer.setInterval(20);
    rig.sequencer.showTempo();
    EXPECT_EQ(rig.sequencer.interval(), 50);

    rig.sequencer.setInterval(20);
    rig.sequencer.showTempo(); // the slider already stands at 50 and does not move
    EXPECT_EQ(rig.sequencer.interval(), 20);
    EXPECT_EQ(rig.host.tempoCaption, "Темп: 1030");
}

// Volume buttons: ten steps, held at 0 and 255; the slider stands upside down.
TEST(VolumeControls, ButtonsClampAndCaption) {
    struct Case {
        int level;
        bool louder;
        int expected;
    };
    const Case cases[] = {
        {250, true, 255},                                       // 246 or more goes to the top
        {246, true, 255}, {245, true, 255},                     // 245 + 10 = 255 by the step itself
        {100, true, 110}, {5, false, 0},                        // 9 or less goes to silence
        {10, false, 0},   {200, false, 190}, {300, false, 245}, // a device answer out of range counts as 255
    };
    for (const Case& c : cases) {
        const int level = c.louder ? louderLevel(c.level) : softerLevel(c.level);
        EXPECT_EQ(level, c.expected) << c.level;
    }
    EXPECT_EQ(volumeSliderPosition(255), 0);
    EXPECT_EQ(volumeSliderPosition(0), 255);
    EXPECT_EQ(levelForVolumeSlider(55), 200);
    EXPECT_EQ(volumeCaption(255), "Громкость: 255");
}

// Time texts: h:mm:ss of (columns x interval) / 1000 taken in 64 bits.
TEST(TransportTimes, DurationTexts) {
    struct Case {
        std::int64_t columns;
        std::int64_t interval;
        const char* text;
    };
    const Case cases[] = {
        {128, 144, "0:00:18"},       // the design's example
        {0, 144, "0:00:00"},         // nothing loaded
        {6, 999, "0:00:05"},         // 5.994 s: whole seconds only
        {25000, 144, "1:00:00"},     // one hour
        {3000000, 1000, "17:20:00"}, // 34 days: the product passes 2^31 and whole days drop
        {-1, 144, "0:00:00"},        // column -1 after a page change
    };
    for (const Case& c : cases) {
        EXPECT_EQ(clockText(playedSeconds(c.columns, c.interval)), QString::fromUtf8(c.text)) << c.columns;
    }
    EXPECT_EQ(totalDurationText(128, 144), "Общая длительность: 0:00:18");
    EXPECT_EQ(playTimeText(125, 144), "0:00:18");
}

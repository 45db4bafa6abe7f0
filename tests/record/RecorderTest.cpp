// The recorder's rules: columns on a grid anchored at Start, tokens by the
// inverse of the token-to-bell rule, the clock and where a save writes.

#include "record/Recorder.h"
#include "bells/Ensemble.h"
#include "bells/KeyboardRinging.h"
#include "input/KeyStrikeNotifier.h"
#include "playback/ColumnStrikes.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

// Bells 10..14 selected: big {10}, middle {11, 12}, small {13, 14}.
Ensemble fiveBells() {
    Ensemble e;
    e.applyText(QStringLiteral("000000000011111"), QStringLiteral("nnnnnnnnnnbmmss"));
    return e;
}

struct Strike {
    int bell;
    std::int64_t time;
};

struct ColumnCase {
    const char* what;
    int interval;
    std::vector<Strike> strikes;
    std::int64_t stopAt;
    QStringList lines;
};

} // namespace

// Catches strikes joined in the wrong order, lost repeats, dropped empty
// columns and a last, unfinished period leaking into the file.
TEST(Recorder, ColumnsFromStrikeTimes) {
    const std::vector<ColumnCase> cases = {
        {"two bells in one period, in key order", 500, {{14, 100}, {10, 300}}, 1000, {"s1,b1", ""}},
        {"the same bell twice", 500, {{11, 10}, {11, 20}}, 500, {"m2,m2"}},
        {"five seconds of silence at 500 ms", 500, {}, 5000, {"", "", "", "", "", "", "", "", "", ""}},
        {"a strike on a boundary opens the next column", 144, {{13, 144}}, 288, {"", "s2"}},
        {"strikes of the unfinished period are dropped at Stop",
         500,
         {{14, 100}, {12, 1200}},
         1300,
         {"s1", ""}},
    };
    for (const ColumnCase& c : cases) {
        Recorder r;
        r.open(c.interval);
        r.start(0);
        for (const Strike& s : c.strikes) {
            r.closeDuePeriods(s.time);
            EXPECT_EQ(r.capture(fiveBells(), s.bell, s.time), Recorder::Capture::Recorded) << c.what;
        }
        r.stop(c.stopAt);
        EXPECT_EQ(r.lines(), c.lines) << c.what;
        EXPECT_EQ(r.periodCount(), c.lines.size()) << c.what;
    }
}

// A key event handled after its period was closed (the window was busy)
// still lands in the column of the moment it was pressed.
TEST(Recorder, LateStrikesKeepTheirColumns) {
    Recorder r;
    r.open(500);
    r.start(10'000);
    EXPECT_EQ(r.closeDuePeriods(11'600), 3); // one late tick closes every period due
    r.capture(fiveBells(), 14, 10'300);      // pressed in period 0, handled now
    r.capture(fiveBells(), 10, 11'450);      // pressed in period 2
    r.capture(fiveBells(), 12, 11'550);      // pressed in the running period 3
    r.capture(fiveBells(), 13, 9'990);       // stamped just before Start: first column
    r.stop(12'000);
    EXPECT_EQ(r.lines(), (QStringList{"s1,s2", "", "b1", "m1"}));
}

// The grid hangs on Start alone: however the ticks come, an hour at 144 ms
// is exactly 25000 columns and a strike near its end is in the right one.
TEST(Recorder, AnHourDoesNotDrift) {
    Recorder r;
    r.open(144);
    r.start(0);
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> jitter(0, 60);
    for (std::int64_t t = 0; t < 3'600'000; t = r.nextPeriodEnd() + jitter(rng)) {
        r.closeDuePeriods(t);
    }
    r.capture(fiveBells(), 14, 3'599'999);
    r.stop(3'600'000);
    EXPECT_EQ(r.periodCount(), 25'000);
    EXPECT_EQ(r.lines().constLast(), QStringLiteral("s1"));
    EXPECT_EQ(r.elapsedSeconds(3'700'000), 3600); // frozen at Stop
}

// Save right after Start writes only the header; Start discards what an
// earlier Start recorded; a new opening forgets that anything was recorded.
TEST(Recorder, BodyAndLifecycle) {
    Recorder r;
    r.open(250);
    EXPECT_FALSE(r.recordedOnce());
    r.start(0);
    r.capture(fiveBells(), 14, 10);
    r.stop(100);
    EXPECT_EQ(r.body(), QStringList{"250"});

    r.start(1000);
    r.capture(fiveBells(), 13, 1100);
    EXPECT_EQ(r.capture(fiveBells(), 13, 1100), Recorder::Capture::Recorded);
    r.stop(1300);
    EXPECT_EQ(r.body(), (QStringList{"250", "s2,s2"}));
    EXPECT_EQ(r.capture(fiveBells(), 13, 1400), Recorder::Capture::NotRecording);
    EXPECT_TRUE(r.recordedOnce());

    r.open(144);
    EXPECT_FALSE(r.recordedOnce());
    EXPECT_EQ(r.state(), Recorder::State::Ready);
    EXPECT_TRUE(r.lines().isEmpty());
}

// Every token the recorder writes reads back as the bell that was struck.
TEST(Recorder, TokensReadBackAsTheStruckBell) {
    std::mt19937 rng(2024);
    for (int round = 0; round < 200; ++round) {
        Ensemble e;
        for (int bell = 0; bell < kBellCount; ++bell) {
            if (rng() % 3 != 0) {
                e.setSelected(bell, true);
                e.setGroup(bell, static_cast<int>(rng() % 4));
            }
        }
        for (int bell = 0; bell < kBellCount; ++bell) {
            const QString token = KeyboardRinging::strikeToken(e, bell);
            if (!e.isSelected(bell) || e.group(bell) == kNoGroup) {
                EXPECT_TRUE(token.isEmpty());
                continue;
            }
            ASSERT_EQ(token.size(), 2) << token.toStdString(); // at most nine per group
            EXPECT_EQ(BellForToken(e, token.at(0), token.at(1).digitValue()), bell)
                << e.bellsText().toStdString() << " " << e.typesText().toStdString() << " " << bell;
        }
    }
}

// A group of ten or more (a hand-edited ensemble) cannot be written: the
// recording is refused, and a tenth bell's strike is never written as a
// two-digit token that would play the first.
TEST(Recorder, GroupsOfTenAreRefused) {
    Ensemble e;
    e.applyText(QStringLiteral("111111111111111"), QStringLiteral("bbbbbssssssssss"));
    EXPECT_EQ(groupTooLargeToRecord(e), std::optional<int>(kSmallGroup));
    EXPECT_EQ(groupTooLargeToRecord(fiveBells()), std::nullopt);
    Recorder r;
    r.open(144);
    r.start(0);
    EXPECT_EQ(r.capture(e, 5, 10), Recorder::Capture::PositionTooHigh); // tenth small bell from 14 down
    EXPECT_EQ(r.capture(e, 6, 10), Recorder::Capture::Recorded);
    r.stop(144);
    EXPECT_EQ(r.lines(), QStringList{"s9"});
}

TEST(Recorder, ClockText) {
    const std::vector<std::pair<int, const char*>> cases = {
        {0, "0:00:00"}, {65, "0:01:05"}, {3599, "0:59:59"}, {3600, "1:00:00"}, {36061, "10:01:01"}};
    for (const auto& [seconds, text] : cases) {
        EXPECT_EQ(formatRecordingTime(seconds), QString::fromLatin1(text));
    }
}

// ".ukl" is appended unless the name ends in exactly ".ukl"; a missing or
// empty folder part is refused.
TEST(Recorder, SaveTargets) {
    QTemporaryDir dir;
    const QString d = dir.path() + QLatin1Char('/');
    const struct {
        QString field;
        QString path;
        bool folderExists;
    } cases[] = {
        {d + "A.UKL", d + "A.UKL.ukl", true},
        {d + "A", d + "A.ukl", true},
        {d + "A.ukl", d + "A.ukl", true},
        {QString(), QStringLiteral(".ukl"), false},
        {QStringLiteral("A"), QStringLiteral("A.ukl"), false},
        {d + "missing/A", d + "missing/A.ukl", false},
    };
    for (const auto& c : cases) {
        const SaveTarget target = saveTargetFor(c.field);
        EXPECT_EQ(target.path, c.path);
        EXPECT_EQ(target.folderExists, c.folderExists) << c.field.toStdString();
    }
}

// Event times come on another clock: the least delay seen gives the offset,
// a late event keeps its own moment, an event without a time is "now", and a
// restarted source clock is followed.
TEST(EventTimeMapper, PlacesEventsOnOurClock) {
    EventTimeMapper m;
    EXPECT_EQ(m.toLocal(0, 500), 500);
    EXPECT_EQ(m.toLocal(1'000, 50'010), 50'010); // first event: handled at once as far as we know
    EXPECT_EQ(m.toLocal(1'100, 50'105), 50'105); // a quicker delivery improves the offset to 49'005
    EXPECT_EQ(m.toLocal(1'200, 50'900), 50'205); // handled 695 ms late: keeps its moment

    EventTimeMapper wrapping;
    EXPECT_EQ(wrapping.toLocal(4'294'967'000, 50'000), 50'000);
    EXPECT_EQ(wrapping.toLocal(200, 50'500), 50'500); // the 32-bit source clock wrapped
    EXPECT_EQ(wrapping.toLocal(300, 50'650), 50'600);
}

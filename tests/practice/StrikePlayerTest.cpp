// Hearing a run again: the learner's strikes come back on the frames they
// were rung, latency taken off, beside the program's columns; the player
// hands each strike a window ahead of the clock and keeps it to its frame
// however late the window gets to it; the recording survives the history's
// text form.

#include "practice/StrikePlayer.h"
#include "practice/PracticeSession.h"
#include "practice/RunRecording.h"
#include "support/TestProgram.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

constexpr int kRate = 48000;
constexpr std::int64_t kColumn = 4800; // 100 ms
constexpr std::int64_t kWindow = StrikePlayer::kWindowMs * kRate / 1000;

using Sounded = std::vector<std::pair<int, std::int64_t>>;

// Columns 0..5: bell 1 (practised) in the even ones, bell 9 (the program's) in every one.
QList<int> bellsOf(int column) {
    return column % 2 == 0 ? QList<int>{1, 9} : QList<int>{9};
}

} // namespace

TEST(StrikePlayer, ReplayPutsTheStrikesOnTheirFramesLatencyTakenOff) {
    ensureQtApplication();
    const std::int64_t latency = 30 * kRate / 1000;
    const std::int64_t first = 900000;
    PracticeSession session({1}, kRate, latency);
    RunRecording recording{kRate, {1}, {}, {}};
    for (int column = 0; column < 6; ++column) {
        session.columnPlayed(column, first + column * kColumn, kColumn, bellsOf(column));
        recording.columnPlayed(column, first + column * kColumn);
    }
    // Keys as they reached the clock: 10 ms early, 17 frames late, 2 ms late,
    // and one stray strike between columns (an extra, still heard).
    const std::vector<std::int64_t> keys = {first - 480 + latency, first + 2 * kColumn + 17 + latency,
                                            first + 4 * kColumn + 96 + latency,
                                            first + 3 * kColumn + latency};
    for (std::int64_t key : keys) {
        session.keyRung(1, key);
    }
    const QList<StrikeOutcome> outcomes = session.finish(first + 6 * kColumn);
    recording.takeStrikes(outcomes);
    ASSERT_EQ(recording.strikes.size(), 4);

    // The run's earliest sound, the early key, is the player's start.
    std::int64_t clock = 5000000;
    Sounded sounded;
    StrikePlayer player(
        kRate, [&clock] { return clock; },
        [&sounded](int bell, std::int64_t frame) { sounded.emplace_back(bell, frame); });
    player.setStrikes(replayStrikes(recording, ReplayMode::AsRung, bellsOf));
    const std::int64_t start = clock + 2048;
    player.start(start);
    while (player.isPlaying()) {
        clock += kColumn;
        player.pump();
    }
    const std::int64_t origin = keys[0] - latency;
    Sounded learner;
    Sounded program;
    for (const auto& strike : sounded) {
        (strike.first == 1 ? learner : program).push_back(strike);
    }
    ASSERT_EQ(learner.size(), 4u);
    const std::vector<std::int64_t> rung = {keys[0], keys[1], keys[3], keys[2]};
    for (size_t i = 0; i < rung.size(); ++i) {
        EXPECT_EQ(learner[i].second, start + rung[i] - latency - origin) << i;
    }
    // The program's bell sounds on every column, the practised one on none.
    ASSERT_EQ(program.size(), 6u);
    for (int column = 0; column < 6; ++column) {
        EXPECT_EQ(program[column].second, start + first + column * kColumn - origin);
    }

    // As written: every bell on its column, the learner's keys unheard.
    const QList<StrikePlayer::Strike> written = replayStrikes(recording, ReplayMode::AsWritten, bellsOf);
    ASSERT_EQ(written.size(), 9);
    EXPECT_EQ(written.first().offset, 0);
    EXPECT_EQ(written.last(), (StrikePlayer::Strike{9, 5 * kColumn}));
}

TEST(StrikePlayer, HandsAWindowAheadAndStopsHandingWhenStopped) {
    ensureQtApplication();
    std::int64_t clock = 0;
    Sounded sounded;
    StrikePlayer player(
        kRate, [&clock] { return clock; },
        [&sounded](int bell, std::int64_t frame) { sounded.emplace_back(bell, frame); });
    int finished = 0;
    QObject::connect(&player, &StrikePlayer::finished, [&finished] { ++finished; });
    player.setStrikes({{3, 2 * kWindow}, {1, 0}, {2, kWindow}, {4, 3 * kWindow}});
    player.start(1000);
    // At the start: everything within the window of the clock.
    ASSERT_EQ(sounded.size(), 1u);
    EXPECT_EQ(sounded[0], std::make_pair(1, std::int64_t{1000}));
    // The window stalls for more than a window: what fell due meanwhile is
    // handed at once, still on its own frame.
    clock = 2 * kWindow;
    player.pump();
    ASSERT_EQ(sounded.size(), 3u);
    EXPECT_EQ(sounded[1], std::make_pair(2, kWindow + 1000));
    EXPECT_EQ(sounded[2], std::make_pair(3, 2 * kWindow + 1000));
    player.stop();
    clock += 10 * kWindow;
    player.pump();
    EXPECT_EQ(sounded.size(), 3u);
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(finished, 0);
    // Started again, it plays the list through from its start.
    sounded.clear();
    player.start(clock);
    EXPECT_EQ(sounded.size(), 2u);
    EXPECT_EQ(finished, 0);
    clock += 2 * kWindow;
    player.pump();
    EXPECT_EQ(sounded.size(), 4u);
    EXPECT_EQ(finished, 1);
}

TEST(RunRecording, TextKeepsColumnsAndStrikesToTheMillisecond) {
    // Columns 10..12 at 100 ms, a wrap to 0..1 at 80 ms, a lone column;
    // strikes early and late of the first column.
    RunRecording recording{kRate, {4, 14}, {}, {}};
    const std::int64_t base = 123456;
    const std::vector<std::pair<int, std::int64_t>> columns = {{10, 0},    {11, 4800}, {12, 9600},
                                                               {0, 20000}, {1, 23840}, {7, 40000}};
    for (const auto& [column, frame] : columns) {
        recording.columnPlayed(column, base + frame);
    }
    recording.strikes = {{14, base - 960}, {4, base + 4848}, {14, base + 50000}};
    const QString text = recording.encode();
    EXPECT_FALSE(text.contains(QLatin1Char(';')));
    EXPECT_FALSE(text.contains(QLatin1Char('%')));

    RunRecording read;
    ASSERT_TRUE(RunRecording::decode(text, kRate, read));
    EXPECT_EQ(read.bells, (QList<int>{4, 14}));
    ASSERT_EQ(read.columns.size(), 6);
    for (size_t i = 0; i < columns.size(); ++i) {
        EXPECT_EQ(read.columns[i].column, columns[i].first) << i;
        EXPECT_NEAR(read.columns[i].frame, columns[i].second, kRate / 1000) << i;
    }
    ASSERT_EQ(read.strikes.size(), 3);
    EXPECT_EQ(read.strikes[0].frame, -960);
    EXPECT_EQ(read.strikes[1].bell, 4);
    EXPECT_NEAR(read.strikes[2].frame, 50000, kRate / 1000);
    // A recording of another rate is read onto the rate asked for.
    RunRecording slower;
    ASSERT_TRUE(RunRecording::decode(text, 24000, slower));
    EXPECT_EQ(slower.strikes[0].frame, -480);

    // Damaged text is refused whole, the recording left as it was; a
    // segment claiming endless columns allocates nothing.
    for (const QString& damaged : {QStringLiteral("4e|a.3.0.2s"), QStringLiteral("4e|a.3.0.2s|zz"),
                                   QStringLiteral("4e|a.3.0|"), QStringLiteral("4e|a.zzzzzz.0.2s|"),
                                   QStringLiteral("4g|a.3.0.2s|"), QStringLiteral("4e|a.3.0.2s|4x!")}) {
        RunRecording kept = read;
        EXPECT_FALSE(RunRecording::decode(damaged, kRate, kept)) << damaged.toStdString();
        EXPECT_EQ(kept.strikes.size(), 3);
    }
    EXPECT_TRUE(RunRecording{}.encode().isEmpty());
}

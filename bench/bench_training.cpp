// Ring-along practice: the cost of matching and marking per key strike, and
// the error the program adds to a key strike's time on its way from the key
// event to the output's frame clock.
//
//   build/bench/bench_training
//
// MatchAndMark: a long run (4096 columns at 144 ms, two practised bells,
// keys scattered +-40 ms, some missed, some extra) fed column by column, each
// column followed by a settle and, when anything settled, the marks of the
// page placed on its 64 heads as the window does. Reported per strike.
//
// KeyEventTime: a synthetic stream of key presses. The frame clock advances
// in blocks of 256 frames at 48 kHz with +-1 ms callback jitter; the window
// reads it every 5 ms; each key event is stamped in whole milliseconds and
// handled 0.2-15 ms later. The error is the frame the program assigns minus
// the true frame of the press, in ms: "same clock" with stamps on the
// monotonic clock (X11, Wayland), "foreign clock" with stamps on another one
// (the program does not rely on which: it takes the least lag seen).

#include "base/ScorePages.h"
#include "input/KeyStrikeNotifier.h"
#include "practice/KeyEventClock.h"
#include "practice/PracticeSession.h"
#include "practice/StrikeMarks.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

constexpr int kRate = 48000;

void MatchAndMark(benchmark::State& state) {
    const int columns = static_cast<int>(state.range(0));
    const std::int64_t columnFrames = 144 * kRate / 1000;
    std::int64_t strikes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::mt19937 random(3);
        std::normal_distribution<double> error(0.0, 15.0);
        std::uniform_real_distribution<double> chance(0.0, 1.0);
        PracticeSession session({4, 5}, kRate, 0);
        QList<MarkHead> heads;
        for (int c = 0; c < kPageColumns; ++c) {
            heads << MarkHead{c, 10 * c, c % 2 == 0 ? 20 : 30, c % 2 == 0 ? 5 : 4};
        }
        state.ResumeTiming();
        for (int c = 0; c < columns; ++c) {
            const std::int64_t frame = 1000000 + c * columnFrames;
            const int bell = c % 2 == 0 ? 5 : 4;
            session.columnPlayed(c, frame, columnFrames, {bell, 0});
            if (chance(random) > 0.05) {
                session.keyRung(bell, frame + static_cast<std::int64_t>(error(random) * kRate / 1000));
                ++strikes;
            }
            if (chance(random) < 0.03) {
                session.keyRung(bell, frame + columnFrames / 2 + 7);
                ++strikes;
            }
            if (!session.settle(frame).isEmpty()) {
                const int first = pageOfColumn(c) * kPageColumns;
                const QList<StrikeOutcome> onPage = session.latestMarks(first, first + kPageColumns - 1);
                QList<MarkHead> pageHeads = heads;
                for (MarkHead& h : pageHeads) {
                    h.column += first;
                }
                benchmark::DoNotOptimize(placeMarks(
                    pageHeads, onPage, [](int col) { return col; }, 0));
            }
        }
        benchmark::DoNotOptimize(session.finish(1000000 + columns * columnFrames));
    }
    state.counters["per_strike"] = benchmark::Counter(
        static_cast<double>(strikes), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(MatchAndMark)->Arg(512)->Arg(4096)->Unit(benchmark::kMillisecond);

struct KeyErrors {
    double mean = 0;
    double deviation = 0;
    double worst = 0;
};

KeyErrors keyStream(bool sameClock, int presses) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> jitter(-1e6, 1e6);     // callback jitter, ns
    std::uniform_real_distribution<double> delivery(0.2e6, 15e6); // event handling delay, ns
    std::uniform_real_distribution<double> gap(80e6, 400e6);      // between presses, ns
    std::uniform_real_distribution<double> pollPhase(0.0, 5e6);
    const std::int64_t origin = 5'000'000'000'000; // the monotonic clock at the start, ns
    const double blockNs = 256.0 * 1e9 / kRate;
    // The frame counter at a monotonic moment: whole blocks, each published
    // at its (jittered) callback time.
    std::vector<double> callbackAt;
    auto counterAt = [&](double t) {
        const double sinceStart = t - origin;
        const auto blocks = static_cast<std::int64_t>(sinceStart / blockNs);
        while (static_cast<std::int64_t>(callbackAt.size()) <= blocks + 2) {
            callbackAt.push_back(origin + callbackAt.size() * blockNs + jitter(random));
        }
        std::int64_t published = 0;
        for (std::int64_t b = std::max<std::int64_t>(0, blocks - 2); b <= blocks + 2; ++b) {
            if (callbackAt[static_cast<size_t>(b)] <= t) {
                published = b * 256;
            }
        }
        return published;
    };
    const std::int64_t foreignOffsetMs = 123456789;
    KeyEventClock clock(kRate);
    EventTimeMapper mapper;
    double t = origin + 1e9;
    double nextPoll = origin + pollPhase(random);
    std::vector<double> errors;
    for (int i = 0; i < presses; ++i) {
        t += gap(random);
        const double handled = t + delivery(random);
        for (; nextPoll < handled; nextPoll += 5e6) {
            clock.observe(static_cast<std::int64_t>(nextPoll), counterAt(nextPoll));
        }
        std::uint64_t stamp = static_cast<std::uint64_t>(t / 1e6);
        if (!sameClock) {
            stamp += foreignOffsetMs;
        }
        const auto now = static_cast<std::int64_t>(handled);
        clock.observe(now, counterAt(handled));
        // As the program does: the stamp onto the monotonic clock in ms, then onto frames.
        const std::int64_t ms = mapper.toLocal(stamp, now / 1'000'000);
        const std::int64_t frame = clock.frameAt(KeyEventClock::momentOfMilliseconds(ms, now));
        const double trueFrame = (t - origin) * kRate / 1e9;
        errors.push_back((static_cast<double>(frame) - trueFrame) * 1000.0 / kRate);
    }
    KeyErrors result;
    for (double e : errors) {
        result.mean += e / errors.size();
        result.worst = std::max(result.worst, std::abs(e));
    }
    for (double e : errors) {
        result.deviation += (e - result.mean) * (e - result.mean) / errors.size();
    }
    result.deviation = std::sqrt(result.deviation);
    return result;
}

void KeyEventTime(benchmark::State& state) {
    const bool sameClock = state.range(0) == 1;
    KeyErrors errors;
    for (auto _ : state) {
        errors = keyStream(sameClock, 2000);
    }
    state.SetLabel(sameClock ? "same clock" : "foreign clock");
    state.counters["mean_error_ms"] = errors.mean;
    state.counters["sd_ms"] = errors.deviation;
    state.counters["worst_ms"] = errors.worst;
}
BENCHMARK(KeyEventTime)->Arg(1)->Arg(0)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

// Sequencer timing under a jittery timer: a long ringing at 50 ms a column is
// played for well over a minute of output while the timer fires up to 20 ms
// early or late (and now and then stalls for longer than a column). Prints the
// onset error of every strike against the ideal grid, in frames, and the cost
// of one tick with the score off.

#include "playback/FrameClock.h"
#include "playback/Sequencer.h"
#include "playback/TransportHost.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <random>
#include <vector>

namespace {

class BenchClock : public FrameClock {
public:
    std::int64_t currentFrame() const override { return frame; }
    int sampleRate() const override { return 48000; }
    std::int64_t frame = 0;
};

// The window's side with the score off: controls as plain values.
class BenchHost : public TransportHost {
public:
    explicit BenchHost(BenchClock& clock) : m_clock(clock) {}
    struct Strike {
        int column;
        std::int64_t frame;
        std::int64_t issuedAt;
    };
    std::vector<Strike> strikes;
    std::optional<int> scheduledMs;
    std::int64_t armedAt = 0;
    int size = 0;

    int commonScoreSize() const override { return size; }
    void clearScores() override {}
    void strikeColumn(int column, std::int64_t idealFrame) override {
        strikes.push_back({column, idealFrame, m_clock.frame});
    }
    void sweepFinishedVoices() override {}
    bool notesShown() const override { return false; }
    void redrawScore() override {}
    void placeScoreCursor() override {}
    void resetScoreView() override {}
    void resetAnimation() override {}
    bool playAllInTurn() const override { return false; }
    void uncheckPlayAllInTurn() override {}
    void selectNextInTurn() override {}
    void playNextInTurn() override {}
    void generateNext() override {}
    int sliderPosition() const override { return m_slider; }
    void setSliderPosition(int position, bool) override { m_slider = std::clamp(position, 0, m_sliderMax); }
    void setSliderMaximum(int maximum) override { m_sliderMax = std::max(0, maximum); }
    void setSliderEnabled(bool) override {}
    void setPagePosition(int position) override { m_page = position; }
    void setPageMaximum(int) override {}
    void setPageEnabled(bool) override {}
    void showPlayTime(const QString& text) override { m_playTime = text; }
    void showTotalDuration(const QString&) override {}
    void showTempoCaption(const QString&) override {}
    int tempoSliderPosition() const override { return 50; }
    void setTempoSliderPosition(int, bool) override {}
    void scheduleTick(int milliseconds) override {
        scheduledMs = milliseconds;
        armedAt = m_clock.frame;
    }
    void cancelTick() override { scheduledMs.reset(); }

private:
    BenchClock& m_clock;
    int m_slider = 0;
    int m_sliderMax = 0;
    int m_page = 1;
    QString m_playTime;
};

template <class T> T percentile(std::vector<T> values, double p) {
    if (values.empty()) {
        return T{};
    }
    std::sort(values.begin(), values.end());
    const std::size_t index = std::min(values.size() - 1, static_cast<std::size_t>(p * (values.size() - 1) + 0.5));
    return values[index];
}

} // namespace

int main() {
    constexpr int kRate = 48000;
    constexpr int kInterval = 50;
    constexpr int kColumns = 2400; // two minutes at 50 ms
    constexpr std::int64_t kLeadFrames = kRate * 30 / 1000;

    BenchClock clock;
    BenchHost host(clock);
    TransportState state;
    state.interval = kInterval;
    Sequencer sequencer(state, host, clock);
    host.size = kColumns;

    std::mt19937 random(2024);
    std::uniform_real_distribution<double> jitter(-20.0, 20.0);
    std::uniform_int_distribution<int> stallChance(0, 199);
    std::uniform_real_distribution<double> stall(50.0, 200.0);

    std::vector<double> tickMicros;
    const std::int64_t start = 48000 * 3; // playback begins three seconds into the output
    clock.frame = start;
    sequencer.play();
    int stalls = 0;
    while (host.scheduledMs) {
        double late = jitter(random);
        if (stallChance(random) == 0) {
            late = stall(random); // the window was busy: longer than a column
            ++stalls;
        }
        const double at = static_cast<double>(host.armedAt) + (*host.scheduledMs + late) * kRate / 1000.0;
        clock.frame = std::max(clock.frame, static_cast<std::int64_t>(at));
        host.scheduledMs.reset();
        const auto t0 = std::chrono::steady_clock::now();
        sequencer.tick();
        const auto t1 = std::chrono::steady_clock::now();
        tickMicros.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
    }

    std::vector<std::int64_t> gridError;
    std::vector<std::int64_t> lateness; // frames after ideal + lead at which the strike was handed over
    for (std::size_t n = 0; n < host.strikes.size(); ++n) {
        const std::int64_t ideal = (start * 1000 + static_cast<std::int64_t>(n) * kInterval * kRate) / 1000;
        gridError.push_back(std::llabs(host.strikes[n].frame - ideal));
        lateness.push_back(std::max<std::int64_t>(0, host.strikes[n].issuedAt - (host.strikes[n].frame + kLeadFrames)));
    }
    const auto lateCount = std::count_if(lateness.begin(), lateness.end(), [](std::int64_t v) { return v > 0; });

    std::printf("sequencer under a jittery timer (fake clock, %d Hz)\n", kRate);
    std::printf("  columns struck            %zu (%.1f s at %d ms a column)\n", host.strikes.size(),
                host.strikes.size() * kInterval / 1000.0, kInterval);
    std::printf("  ticks                     %zu, of them %d stalled by 50..200 ms\n", tickMicros.size(), stalls);
    std::printf("  onset error vs grid       max %lld frames, p99 %lld frames\n",
                static_cast<long long>(*std::max_element(gridError.begin(), gridError.end())),
                static_cast<long long>(percentile(gridError, 0.99)));
    std::printf("  handed over after lead    %lld strikes (only stalled ticks), worst %.1f ms\n",
                static_cast<long long>(lateCount),
                *std::max_element(lateness.begin(), lateness.end()) * 1000.0 / kRate);
    std::printf("  tick cost (score off)     median %.2f us, p99 %.2f us, worst %.2f us\n",
                percentile(tickMicros, 0.5), percentile(tickMicros, 0.99),
                *std::max_element(tickMicros.begin(), tickMicros.end()));
    return 0;
}

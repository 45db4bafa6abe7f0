// Sequencer timing under a jittery timer, through the offline audio path: a
// long ringing at 50 ms a column is played for two minutes of output by the
// sequencer, whose frame clock is the mixer's, while the timer fires up to
// 20 ms early or late (and now and then stalls for longer than a column). The
// mixer renders block by block up to each tick's time, as a driver would, and
// reports the frame every voice started on. Prints the onset error of every
// strike against an independently computed grid (+ the scheduling lead), in
// frames, and the cost of one tick with the score off (voices included).

#include "BenchSamples.h"
#include "playback/ColumnStrikes.h"
#include "playback/FrameClock.h"
#include "playback/Sequencer.h"
#include "playback/StrikeVoices.h"
#include "playback/TransportHost.h"

#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <random>
#include <vector>

namespace {

class MixerClock : public FrameClock {
public:
    explicit MixerClock(audio::AudioEngine& engine) : m_engine(engine) {}
    std::int64_t currentFrame() const override { return m_engine.frameClock(); }
    int sampleRate() const override { return m_engine.sampleRate(); }

private:
    audio::AudioEngine& m_engine;
};

// Renders the mixer up to `frame` in driver-sized blocks.
void renderUntil(audio::AudioEngine& engine, std::int64_t frame, std::vector<float>& block) {
    const int frames = static_cast<int>(block.size() / 2);
    while (engine.frameClock() < frame) {
        engine.mixer().render(block.data(), frames);
    }
}

// The window's side with the score off: controls as plain values.
class BenchHost : public TransportHost {
public:
    BenchHost(const FrameClock& clock, StrikeVoices& voices, const QString& folder)
        : m_clock(clock), m_voices(voices), m_folder(folder) {
        m_ensemble.applyText(QStringLiteral("111111111111111"), QStringLiteral("bbbbmmmmmmsssss"));
    }
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
    // The column sounds when handed (ahead of its frame) and counts when shown.
    void soundColumn(int column, std::int64_t idealFrame) override {
        static const QStringList pattern = {QStringLiteral("s1,m1,b1"), QStringLiteral("s2"),
                                            QStringLiteral("s3,m2"),    QStringLiteral("s4"),
                                            QStringLiteral("s5,b2"),    QStringLiteral("m3")};
        const auto name = [](int bell) { return QStringLiteral("bell%1.wav").arg(bell); };
        const ColumnStrikes s =
            ColumnSampleFiles(pattern.at(column % pattern.size()), m_ensemble, {}, m_folder, name);
        m_voices.strikeColumn(s.sampleFiles, idealFrame);
    }
    void cancelSoundsFrom(std::int64_t idealFrame) override { m_voices.cancelFrom(idealFrame); }
    std::int64_t soundLeadFrames() const override { return m_voices.mci().engine().schedulingLeadFrames(); }
    void strikeColumn(int column, std::int64_t idealFrame) override {
        strikes.push_back({column, idealFrame, m_clock.currentFrame()});
    }
    void sweepFinishedVoices() override { m_voices.closeFinishedVoices(); }
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
        armedAt = m_clock.currentFrame();
    }
    void cancelTick() override { scheduledMs.reset(); }

private:
    const FrameClock& m_clock;
    StrikeVoices& m_voices;
    QString m_folder;
    Ensemble m_ensemble;
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
    const std::size_t index =
        std::min(values.size() - 1, static_cast<std::size_t>(p * (values.size() - 1) + 0.5));
    return values[index];
}

} // namespace

int main() {
    constexpr int kInterval = 50;
    constexpr int kColumns = 2400; // two minutes at 50 ms

    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    if (!writeBenchBells(folder, 48000)) {
        std::fprintf(stderr, "cannot write the bench samples\n");
        return 1;
    }
    audio::AudioEngineOptions options;
    auto engine = audio::AudioEngine::createOffline(options);
    engine->mixer().setStartReports(true);
    engine->samples().preloadFolder(folder.toStdString());
    engine->samples().waitForPreload();
    MciInterpreter mci(*engine);
    StrikeVoices voices(mci, 1);
    const int rate = engine->sampleRate();
    const std::int64_t lead = engine->schedulingLeadFrames();
    std::vector<float> block(static_cast<std::size_t>(options.bufferFrames) * 2);

    MixerClock clock(*engine);
    BenchHost host(clock, voices, folder);
    TransportState state;
    state.interval = kInterval;
    Sequencer sequencer(state, host, clock);
    host.size = kColumns;

    std::mt19937 random(2024);
    std::uniform_real_distribution<double> jitter(-20.0, 20.0);
    std::uniform_int_distribution<int> stallChance(0, 199);
    std::uniform_real_distribution<double> stall(50.0, 200.0);

    // Playback begins three seconds into the output.
    renderUntil(*engine, 3 * rate, block);
    const std::int64_t start = engine->frameClock();
    sequencer.play();
    std::vector<double> tickMicros;
    std::vector<std::int64_t> stalledTicks; // clock frames of the ticks that came late by a stall
    while (host.scheduledMs) {
        double late = jitter(random);
        const bool stalled = stallChance(random) == 0;
        if (stalled) {
            late = stall(random); // the window was busy: longer than a column
        }
        const double at = static_cast<double>(host.armedAt) + (*host.scheduledMs + late) * rate / 1000.0;
        renderUntil(*engine, static_cast<std::int64_t>(at), block);
        if (stalled) {
            stalledTicks.push_back(engine->frameClock());
        }
        host.scheduledMs.reset();
        const auto t0 = std::chrono::steady_clock::now();
        sequencer.tick();
        const auto t1 = std::chrono::steady_clock::now();
        tickMicros.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
    }
    renderUntil(*engine, engine->frameClock() + rate, block);

    // The sequencer's own grid, computed apart: column n after Play is due at
    // start + n x 50 ms exactly, rounded down to a frame.
    std::vector<std::int64_t> gridError;
    for (std::size_t n = 0; n < host.strikes.size(); ++n) {
        const std::int64_t ideal = (start * 1000 + static_cast<std::int64_t>(n) * kInterval * rate) / 1000;
        gridError.push_back(std::llabs(host.strikes[n].frame - ideal));
    }
    // What was heard: every voice's first frame against its column's grid frame + the lead.
    std::vector<std::int64_t> onTime;
    std::vector<std::int64_t> afterStall;
    audio::StartReport report;
    while (engine->mixer().takeStartReport(report)) {
        const std::int64_t n =
            (report.targetFrame - lead - start) * 1000 / (static_cast<std::int64_t>(kInterval) * rate);
        const std::int64_t ideal = (start * 1000 + n * kInterval * rate) / 1000 + lead;
        const std::int64_t error = std::llabs(report.startFrame - ideal);
        const std::int64_t handedAt = host.strikes.at(static_cast<std::size_t>(n)).issuedAt;
        const bool byStall =
            std::find(stalledTicks.begin(), stalledTicks.end(), handedAt) != stalledTicks.end();
        (byStall ? afterStall : onTime).push_back(error);
    }
    const auto maxOf = [](const std::vector<std::int64_t>& v) {
        return v.empty() ? 0LL : static_cast<long long>(*std::max_element(v.begin(), v.end()));
    };

    std::printf("sequencer through the offline mixer (%d Hz, %d-frame blocks, lead %lld frames)\n", rate,
                options.bufferFrames, static_cast<long long>(lead));
    std::printf("  columns struck              %zu (%.1f s at %d ms a column)\n", host.strikes.size(),
                host.strikes.size() * kInterval / 1000.0, kInterval);
    std::printf("  ticks                       %zu (jitter +-20 ms), %zu of them stalled by 50..200 ms\n",
                tickMicros.size(), stalledTicks.size());
    std::printf("  column frames vs grid       max %lld frames, p99 %lld frames\n", maxOf(gridError),
                static_cast<long long>(percentile(gridError, 0.99)));
    std::printf("  voice onsets, jittery ticks %zu voices, error max %lld frames, p99 %lld frames\n",
                onTime.size(), maxOf(onTime), static_cast<long long>(percentile(onTime, 0.99)));
    std::printf(
        "  voice onsets after a stall  %zu voices, error max %lld frames (%.1f ms), p99 %lld frames\n",
        afterStall.size(), maxOf(afterStall), maxOf(afterStall) * 1000.0 / rate,
        static_cast<long long>(percentile(afterStall, 0.99)));
    std::printf("  late starts (mixer count)   %llu\n",
                static_cast<unsigned long long>(engine->mixer().lateStarts()));
    std::printf("  tick cost (score off)       median %.2f us, p99 %.2f us, worst %.2f us\n",
                percentile(tickMicros, 0.5), percentile(tickMicros, 0.99),
                *std::max_element(tickMicros.begin(), tickMicros.end()));
    return 0;
}

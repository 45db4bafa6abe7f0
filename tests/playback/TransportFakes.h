#pragma once

// A fake window for the sequencer: controls that clamp and notify like the
// real widgets, a frame clock the test moves, and a timer the test fires.

#include "playback/FrameClock.h"
#include "playback/Sequencer.h"
#include "playback/TransportHost.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <vector>

class FakeClock : public FrameClock {
public:
    explicit FakeClock(int rate = 48000) : rate(rate) {}
    std::int64_t currentFrame() const override { return frame; }
    int sampleRate() const override { return rate; }
    std::int64_t frame = 0;
    int rate;
};

struct Strike {
    int column;
    std::int64_t frame;
    std::int64_t issuedAt; // clock frame when the strike was handed over
    bool operator==(const Strike& o) const { return column == o.column && frame == o.frame; }
};

// A column handed to the engine: what it sounds unless withdrawn.
struct Sound {
    int column;
    std::int64_t frame;
    std::int64_t issuedAt;
};

class FakeHost : public TransportHost {
public:
    explicit FakeHost(FakeClock& clock) : clock(clock) {}

    Sequencer* sequencer = nullptr;
    FakeClock& clock;

    int size = 0;
    bool notes = false;
    bool inTurn = false;
    std::vector<Strike> strikes;
    // What the engine sounds: handed columns less the withdrawn ones.
    std::vector<Sound> sounds;
    std::vector<std::int64_t> cancels;
    bool ready = true;
    int readyAsks = 0;
    std::vector<bool> waitingShown;
    int sweeps = 0;
    std::vector<int> sweepAfterColumn; // the column last struck when each sweep ran
    int redraws = 0;
    int cursors = 0;
    int scoreResets = 0;
    int animationResets = 0;
    int clears = 0;
    int slider = 0;
    int sliderMax = 0;
    bool sliderEnabled = true;
    int page = 1;
    int pageMax = 1;
    bool pageEnabled = false;
    QString playTime;
    QString total;
    QString tempoCaption;
    int tempo = 148;
    std::optional<int> scheduledMs;
    std::int64_t armedAt = 0;
    std::function<void()> onSelectNextInTurn;
    std::function<void()> onPlayNextInTurn;
    std::function<void()> onGenerateNext;

    int commonScoreSize() const override { return size; }
    void clearScores() override {
        ++clears;
        size = 0;
    }
    void soundColumn(int column, std::int64_t idealFrame) override {
        sounds.push_back({column, idealFrame, clock.frame});
    }
    void cancelSoundsFrom(std::int64_t idealFrame) override {
        cancels.push_back(idealFrame);
        std::erase_if(sounds, [idealFrame](const Sound& s) { return s.frame >= idealFrame; });
    }
    bool soundsReady() override {
        ++readyAsks;
        return ready;
    }
    void showWaitingForSounds(bool waiting) override { waitingShown.push_back(waiting); }
    void strikeColumn(int column, std::int64_t idealFrame) override {
        strikes.push_back({column, idealFrame, clock.frame});
    }
    void sweepFinishedVoices() override {
        ++sweeps;
        sweepAfterColumn.push_back(strikes.empty() ? -1 : strikes.back().column);
    }
    bool notesShown() const override { return notes; }
    void redrawScore() override { ++redraws; }
    void placeScoreCursor() override { ++cursors; }
    void resetScoreView() override { ++scoreResets; }
    void resetAnimation() override { ++animationResets; }
    bool playAllInTurn() const override { return inTurn; }
    void uncheckPlayAllInTurn() override { inTurn = false; }
    void selectNextInTurn() override {
        if (onSelectNextInTurn) {
            onSelectNextInTurn();
        }
    }
    void playNextInTurn() override {
        if (onPlayNextInTurn) {
            onPlayNextInTurn();
        }
    }
    void generateNext() override {
        if (onGenerateNext) {
            onGenerateNext();
        }
    }
    int sliderPosition() const override { return slider; }
    void setSliderPosition(int position, bool notify) override {
        const int clamped = std::clamp(position, 0, std::max(0, sliderMax));
        const bool moved = clamped != slider;
        slider = clamped;
        if (notify && moved && sequencer) {
            sequencer->sliderMoved(slider);
        }
    }
    void setSliderMaximum(int maximum) override {
        sliderMax = std::max(0, maximum);
        slider = std::min(slider, sliderMax);
    }
    void setSliderEnabled(bool enabled) override { sliderEnabled = enabled; }
    void setPagePosition(int position) override { page = std::clamp(position, 1, std::max(1, pageMax)); }
    void setPageMaximum(int maximum) override {
        pageMax = maximum;
        page = std::clamp(page, 1, std::max(1, pageMax));
    }
    void setPageEnabled(bool enabled) override { pageEnabled = enabled; }
    void showPlayTime(const QString& text) override { playTime = text; }
    void showTotalDuration(const QString& text) override { total = text; }
    void showTempoCaption(const QString& text) override { tempoCaption = text; }
    int tempoSliderPosition() const override { return tempo; }
    void setTempoSliderPosition(int position, bool notify) override {
        const int clamped = std::clamp(position, transport::kTempoSliderMin, transport::kTempoSliderMax);
        const bool moved = clamped != tempo;
        tempo = clamped;
        if (notify && moved && sequencer) {
            sequencer->tempoSliderMoved(tempo);
        }
    }
    void scheduleTick(int milliseconds) override {
        scheduledMs = milliseconds;
        armedAt = clock.frame;
    }
    void cancelTick() override { scheduledMs.reset(); }

    std::vector<int> struckColumns() const {
        std::vector<int> columns;
        for (const Strike& s : strikes) {
            columns.push_back(s.column);
        }
        return columns;
    }
};

// A sequencer on a fake window, with a timer that fires late or early.
struct TransportRig {
    explicit TransportRig(int rate = 48000) : clock(rate), host(clock), sequencer(state, host, clock) {
        host.sequencer = &sequencer;
    }

    // Moves the clock by `ms` milliseconds.
    void advance(std::int64_t ms) { clock.frame += ms * clock.rate / 1000; }

    // Fires the armed timer once, `jitterMs` away from the time it asked for
    // (never before it was armed). False when no tick is armed.
    bool fire(double jitterMs = 0.0) {
        if (!host.scheduledMs) {
            return false;
        }
        const double at =
            static_cast<double>(host.armedAt) + (*host.scheduledMs + jitterMs) * clock.rate / 1000.0;
        clock.frame = std::max(clock.frame, static_cast<std::int64_t>(at));
        host.scheduledMs.reset();
        sequencer.tick();
        return true;
    }

    // Fires ticks with random jitter of up to +-maxJitterMs until `strikes`
    // strikes were made in all, or the timer stops.
    void runUntilStrikes(std::size_t strikes, double maxJitterMs, std::mt19937& random) {
        std::uniform_real_distribution<double> jitter(-maxJitterMs, maxJitterMs);
        while (host.strikes.size() < strikes && fire(jitter(random))) {
        }
    }

    // A loaded ringing of `columns` columns with the ranges of `loader`.
    void load(int columns, transport::RingingLoader loader = transport::RingingLoader::CommonChoice) {
        host.size = columns;
        sequencer.applyLoaderRanges(loader);
    }

    TransportState state;
    FakeClock clock;
    FakeHost host;
    Sequencer sequencer;
};

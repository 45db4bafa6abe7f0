#pragma once

// A practice host of the tests' own: it keeps what is asked of it and plays
// nothing.

#include "base/ProfileFile.h"
#include "input/KeyStrikeNotifier.h"
#include "practice/PracticeHost.h"
#include "ringing/TChannels.h"

#include <utility>
#include <vector>

class FakePracticeHost : public PracticeHost {
public:
    static constexpr int kRate = 48000;

    explicit FakePracticeHost(const QString& settingsPath) : m_settings(settingsPath) {}

    QWidget* dialogParent() override { return nullptr; }
    ProfileFile& settingsFile() override { return m_settings; }
    KeyStrikeNotifier& keyStrikeNotifier() override { return m_notifier; }
    void showStatusMessage(const QString& text) override { statusMessages << text; }
    QString ringingName() const override { return name; }
    const Ensemble& ensemble() const override { return bells; }
    TChannels& channels() override { return m_channels; }
    int commonScoreSize() const override { return static_cast<int>(m_channels.common().size()); }
    QString commonScoreLine(int column) const override { return m_channels.common().value(column); }
    bool soundAvailable() const override { return sound; }
    std::int64_t audioFrameClock() const override { return frame; }
    int audioSampleRate() const override { return kRate; }
    std::int64_t schedulingLeadFrames() const override { return lead; }
    void soundBell(int bell, std::int64_t atFrame) override { sounded.emplace_back(bell, atFrame); }
    // Playback voices are told apart from hand strikes; a withdrawn one is taken off the list.
    void soundPlayedBell(int bell, std::int64_t atFrame) override { played.emplace_back(bell, atFrame); }
    void withdrawPlayedBells(std::int64_t fromFrame) override {
        std::erase_if(played, [fromFrame](const auto& strike) { return strike.second >= fromFrame; });
    }
    bool isPlaying() const override { return playing; }
    void play() override { playing = true; }
    void playAt(std::int64_t idealFrame) override {
        playing = true;
        playedAt = idealFrame;
    }
    void stop() override {
        playing = false;
        ++stops;
    }
    int sequencerInterval() const override { return interval; }
    void setTempo(int intervalMs) override { interval = intervalMs; }
    TransportRanges transportRanges() const override { return ranges; }
    void restoreTransportRanges(const TransportRanges& restored) override { ranges = restored; }
    bool keyboardRinging() const override { return keys; }
    void setKeyboardRinging(bool on) override { keys = on; }
    int pagePosition() const override { return 1; }
    bool simplifiedScore() const override { return false; }
    QWidget* staff(BellGroup) const override { return nullptr; }
    std::optional<std::pair<int, int>> scoreSelection() const override { return selection; }
    void showPlace(int column) override { places << column; }

    QString name = QStringLiteral("Проба");
    Ensemble bells;
    bool sound = true;
    std::int64_t frame = 1000000;
    std::int64_t lead = 960;
    bool playing = false;
    int stops = 0;
    int interval = 100;
    TransportRanges ranges;
    bool keys = true;
    std::optional<std::pair<int, int>> selection;
    std::vector<std::pair<int, std::int64_t>> sounded;
    std::vector<std::pair<int, std::int64_t>> played;
    std::optional<std::int64_t> playedAt;
    QStringList statusMessages;
    QList<int> places;

private:
    ProfileFile m_settings;
    KeyStrikeNotifier m_notifier;
    TChannels m_channels;
};

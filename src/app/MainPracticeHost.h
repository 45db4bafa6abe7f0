#pragma once

#include "practice/PracticeHost.h"

class TfrmMain;

// Answers ring-along practice from the main window's state and controls.
class MainPracticeHost : public PracticeHost {
public:
    explicit MainPracticeHost(TfrmMain& window) : m_window(window) {}

    QWidget* dialogParent() override;
    ProfileFile& settingsFile() override;
    KeyStrikeNotifier& keyStrikeNotifier() override;
    StrikeInput strikingInput() const override;
    std::optional<std::int64_t> strikingMomentNs() const override;
    QList<StrikeInput> strikeInputs() const override;
    void listenToInputTaps(InputTaps taps) override;
    void showStatusMessage(const QString& text) override;
    QString ringingName() const override;
    const Ensemble& ensemble() const override;
    TChannels& channels() override;
    int commonScoreSize() const override;
    QString commonScoreLine(int column) const override;
    bool soundAvailable() const override;
    std::int64_t audioFrameClock() const override;
    int audioSampleRate() const override;
    std::int64_t schedulingLeadFrames() const override;
    void soundBell(int bell, std::int64_t frame) override;
    void soundPlayedBell(int bell, std::int64_t frame) override;
    void withdrawPlayedBells(std::int64_t frame) override;
    QString bellName(int bell) const override;
    QString bellKeyName(int bell) const override;
    void showPlace(int column) override;
    bool isPlaying() const override;
    void play() override;
    void playAt(std::int64_t idealFrame) override;
    void stop() override;
    int sequencerInterval() const override;
    void setTempo(int intervalMs) override;
    TransportRanges transportRanges() const override;
    void restoreTransportRanges(const TransportRanges& ranges) override;
    bool keyboardRinging() const override;
    void setKeyboardRinging(bool on) override;
    int pagePosition() const override;
    bool simplifiedScore() const override;
    bool readableScore() const override;
    QWidget* staff(BellGroup group) const override;
    std::optional<std::pair<int, int>> scoreSelection() const override;
    QString bellKeyText(int bell) const override;

private:
    TfrmMain& m_window;
};

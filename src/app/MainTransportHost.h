#pragma once

#include "playback/Generator.h"
#include "playback/TransportHost.h"

class TfrmMain;

// Answers the sequencer and the generator from the main window's controls
// and the other subsystems' calls.
class MainTransportHost : public TransportHost, public GeneratorHost {
public:
    explicit MainTransportHost(TfrmMain& window) : m_window(window) {}

    // TransportHost
    int commonScoreSize() const override;
    void clearScores() override;
    void strikeColumn(int column, std::int64_t idealFrame) override;
    void sweepFinishedVoices() override;
    bool notesShown() const override;
    void redrawScore() override;
    void placeScoreCursor() override;
    void resetScoreView() override;
    void resetAnimation() override;
    bool playAllInTurn() const override;
    void uncheckPlayAllInTurn() override;
    void selectNextInTurn() override;
    void playNextInTurn() override;
    void generateNext() override;
    int sliderPosition() const override;
    void setSliderPosition(int position, bool notify) override;
    void setSliderMaximum(int maximum) override;
    void setSliderEnabled(bool enabled) override;
    void setPagePosition(int position) override;
    void setPageMaximum(int maximum) override;
    void setPageEnabled(bool enabled) override;
    void showPlayTime(const QString& text) override;
    void showTotalDuration(const QString& text) override;
    void showTempoCaption(const QString& text) override;
    int tempoSliderPosition() const override;
    void setTempoSliderPosition(int position, bool notify) override;
    void scheduleTick(int milliseconds) override;
    void cancelTick() override;

    // GeneratorHost
    int selectedBellCount() const override;
    int groupItemCount(int group) const override;
    int groupItemIndex(int group) const override;
    void chooseGroupRinging(int group, int index) override;
    bool sequencerRunning() const override;
    void play() override;

private:
    TfrmMain& m_window;
};

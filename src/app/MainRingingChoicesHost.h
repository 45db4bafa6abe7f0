#pragma once

#include "ringing/RingingChoicesHost.h"

class TfrmMain;

// Answers the ringing choices from the main window's ensemble, catalogue,
// working scores, transport and views.
class MainRingingChoicesHost : public RingingChoicesHost {
public:
    explicit MainRingingChoicesHost(TfrmMain& window) : m_window(window) {}

    bool mayReplaceRinging() override;

    const Ensemble& ensemble() const override;
    TSoundData* catalogue() override;
    TChannels& channels() override;
    const TChannels& channels() const override;
    QString campanelDir() const override;
    bool loadRinging(int index, const QString& path) override;
    void showRingingName(const QString& name) override;
    void showNoRinging() override;
    void endRecording() override;
    void resetPlayback() override;
    void applyRingingRanges(Ranges ranges) override;
    void restorePlayPlace(int column) override;
    int currentColumn() const override;
    void setCurrentPage(int page) override;
    bool groupRingingMode() const override;
    void setGroupRingingMode(bool on) override;
    void keepGeneratorOnNextReset() override;
    void uncheckPlayInTurn() override;
    bool notesShown() const override;
    void redrawScore() override;
    void followCommonChoice(int index) override;

private:
    TfrmMain& m_window;
};

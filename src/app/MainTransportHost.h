#pragma once

#include "playback/TransportPanelHost.h"

class TfrmMain;

// Answers the transport panel from the main window's other subsystems.
class MainTransportHost : public TransportPanelHost {
public:
    explicit MainTransportHost(TfrmMain& window) : m_window(window) {}

    SoundOutput* soundOutput() override;
    bool exportMode() const override;
    void exportHtml() override;
    int commonScoreSize() const override;
    void clearScores() override;
    void soundColumn(int column, std::int64_t idealFrame) override;
    void strikeColumn(int column, std::int64_t idealFrame) override;
    QStringList samplesForPlay() const override;
    void showStatusMessage(const QString& text) override;
    bool notesShown() const override;
    void redrawScore() override;
    void placeScoreCursor() override;
    void resetScoreView() override;
    void resetAnimation() override;
    bool playAllInTurn() const override;
    void uncheckPlayAllInTurn() override;
    void selectNextInTurn() override;
    QString highlightedRinging() override;
    bool loadListRinging(const QString& name) override;
    int selectedBellCount() const override;
    int groupItemCount(int group) const override;
    int groupItemIndex(int group) const override;
    void chooseGroupRinging(int group, int index) override;

private:
    TfrmMain& m_window;
};

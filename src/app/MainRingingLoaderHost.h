#pragma once

#include "ringing/RingingLoaderHost.h"

class TfrmMain;

// Answers the ringing loader from the main window's sequencer, animation,
// bells panel, settings file, transport, score, title, status bar and
// ringing choices.
class MainRingingLoaderHost : public RingingLoaderHost {
public:
    explicit MainRingingLoaderHost(TfrmMain& window) : m_window(window) {}

    int sequencerInterval() const override;
    void setSequencerInterval(int milliseconds) override;
    void animationRingingLoaded() override;
    void showTempo() override;
    void showTotalDuration() override;
    void deselectAllBells() override;
    void applyEnsembleText(const QString& bells, const QString& types) override;
    ProfileFile& settingsFile() override;
    void applyWholeRingingRanges() override;
    bool notesShown() const override;
    void redrawScore() override;
    void showStatusMessage(const QString& text, int timeoutMs) override;
    void play() override;
    void resetPlayback() override;
    void showRingingName(const QString& name) override;
    void showChooserOpen() override;
    void clearChoices() override;
    void chooseOfferedRinging(const QString& name) override;
    QString customDir() const override;
    QWidget* dialogParent() override;

private:
    TfrmMain& m_window;
};

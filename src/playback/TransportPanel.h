#pragma once

#include "playback/Generator.h"
#include "playback/Sequencer.h"
#include "playback/TransportHost.h"
#include "playback/TransportState.h"

#include <QObject>

#include <memory>

class FrameClock;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QTimer;
class TransportPanelHost;
class TUpDown;

// The transport of the main window: play, pause, stop, seeking, pages, the
// tempo, the volume, play-all-in-turn and the random generator. It owns the
// sequencer, the generator, their frame clock and where playback stands, and
// answers the sequencer's and the generator's questions about its controls
// itself; the rest goes to its host.
class TransportPanel : public QObject, private TransportHost, private GeneratorHost {
public:
    struct Controls {
        QSlider* progress = nullptr;     // tbProgress
        QLineEdit* pageEdit = nullptr;   // edPage
        TUpDown* page = nullptr;         // udPage
        QLabel* playTime = nullptr;      // lblPlayTime
        QLabel* duration = nullptr;      // lblLong
        QPushButton* tempo = nullptr;    // btnTemp
        QSlider* tempoSlider = nullptr;  // tbTemp
        QPushButton* volume = nullptr;   // btnVolume
        QSlider* volumeSlider = nullptr; // tbVolume
        QTimer* timer = nullptr;         // mmTimer, one shot per column
    };

    TransportPanel(const Controls& controls, TransportPanelHost& host, QObject* parent = nullptr);
    ~TransportPanel() override;

    // Start-up: the timer and page edit wired, tempo and volume shown.
    void setup();

    // Where playback stands, shared with the ringing choices, the score view
    // and the output.
    TransportState& state() { return m_state; }
    const TransportState& state() const { return m_state; }
    Sequencer& sequencer(); // created on first use
    bool isPlaying() const;
    // Milliseconds per column.
    int sequencerInterval() const { return m_state.interval; }
    void setSequencerInterval(int milliseconds);

    // Handlers.
    void btnPlayClick();
    // Play from the first column, column 0 due at `firstFrame` of the frame clock.
    void playAt(std::int64_t firstFrame);
    void btnPauseClick();
    void btnStopClick();
    void btnRewClick();
    void btnFFClick();
    void mmTimerTimer();
    void tbProgressChange();
    void udPageClick();
    void tbTempChange();
    void nTempUpClick();
    void nTempDownClick();
    void tbVolumeChange();
    void nVolumeUpClick();
    void nVolumeDownClick();
    void nGeneratorClick();

    // Used by the ringing loads and choices.
    void ResetPlayback();
    void ShowTempo();
    void ShowTotalDuration();
    void ShowPlayTime();
    void PlayNextInTurn();
    void GenerateNext();
    void applyRingingRanges(transport::RingingLoader loader);
    // Puts the stopped transport back at `column` of the loaded ringing.
    void restorePlayPlace(int column);
    void playRange(int first, int last, bool loops);
    // What the held columns sound changed (a group switched, a group ringing chosen).
    void soundsChanged();
    // The volume slider and caption from the device's level.
    void showVolumeLevel();

private:
    Generator& generator(); // created on first use
    void FindVolumeDevices();
    void setVolumeLevel(int level);
    int deviceLevel() const;

    // TransportHost: the controls answered here, the rest by the host.
    int commonScoreSize() const override;
    void clearScores() override;
    void soundColumn(int column, std::int64_t idealFrame) override;
    void cancelSoundsFrom(std::int64_t idealFrame) override;
    std::int64_t soundLeadFrames() const override;
    void strikeColumn(int column, std::int64_t idealFrame) override;
    bool soundsReady() override;
    void showWaitingForSounds(bool waiting) override;
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

    // GeneratorHost (uncheckPlayAllInTurn above answers both).
    int selectedBellCount() const override;
    int groupItemCount(int group) const override;
    int groupItemIndex(int group) const override;
    void chooseGroupRinging(int group, int index) override;
    bool sequencerRunning() const override;
    void play() override;

    Controls m_controls;
    TransportPanelHost& m_host;
    TransportState m_state;
    std::unique_ptr<FrameClock> m_frameClock;
    std::unique_ptr<Sequencer> m_sequencer;
    std::unique_ptr<Generator> m_generator;
    // Samples asked for during Play's present wait: one that is absent again
    // has failed to decode and is not waited for.
    QStringList m_askedForPlay;
    // The wave output's volume is there while the sound output exists.
    bool m_waveVolumeDevice = false;
};

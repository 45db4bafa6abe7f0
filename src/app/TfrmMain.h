#pragma once

#include "app/AppSettings.h"
#include "app/MainControls.h"
#include "app/MainParts.h"
#include "base/PathTable.h"
#include "base/ProfileFile.h"
#include "base/RequiredFileCheck.h"
#include "ringing/TChannels.h"
#include "ringing/TSoundData.h"

#include <QMainWindow>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

// The main window. It owns every object of the program for its whole life
// and is a shell: it creates the subsystems, wires the controls to them, and
// its handlers (src/app/main_*.cpp, one file per subsystem) forward in a line
// or two. Subsystems reach it only through their host interfaces, which the
// adapters below implement.
class TfrmMain : public QMainWindow, private MainControls {
    Q_OBJECT
    // The adapters of the subsystems' host interfaces (src/app/).
    friend class MainAnimationHost;
    friend class MainBellsHost;
    friend class MainGroupsHost;
    friend class MainOutputHost;
    friend class MainPracticeHost;
    friend class MainEditorHost;
    friend class MainRecordingHost;
    friend class MainRingingChoicesHost;
    friend class MainRingingLoaderHost;
    friend class MainTransportHost;

public:
    // programDir: the executable's folder; arguments: the command line without
    // the program name; reporter: gets a required file's message instead of
    // the modal box (tests, which must not block).
    TfrmMain(const QString& programDir, const QStringList& arguments, QWidget* parent = nullptr);
    TfrmMain(RequiredFileCheck::Reporter reporter, const QString& programDir, const QStringList& arguments,
             QWidget* parent = nullptr);
    ~TfrmMain() override;

    // True when the required-file check asked the program to end.
    bool terminationRequested() const { return m_required.terminationRequested(); }
    const PathTable& paths() const { return *m_paths; }

    // Runs one handler; a failure is logged and ends it (nothing is rolled back).
    static void guarded(const std::function<void()>& handler);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    // ---- application core: start-up, shutdown, settings, layout ----
public:
    void FormCreate();
    void FormShow();
    void FormCloseQuery();
    void FormDestroy();
    void FormResize();
    void nExitClick();
    void closeOnTermination(); // asks nothing: unsaved edits go to a file of their own
    void nViewPanelClick();
    void nViewSelectBellsClick();
    void nViewBellsInfoClick();
    void nViewBellsGroupsClick();
    void btnVolumeClick();
    void btnTempClick();
    void applyPanels();
    // The ringing now loaded: its name in the title, and for the subsystems.
    void setCaptionForRinging(const QString& name);
    void showNoRinging();
    const QString& ringingName() const { return m_ringingName; }
    void showStatusMessage(const QString& text);

private:
    ProfileFile& settingsFile() { return *m_settingsFile; }
    RequiredFileCheck& requiredFiles() { return m_required; }
    void createControls();
    void connectHandlers();
    void placeOverlayPanels();
    void placePopupAboveTools(QWidget* popup);
    void layoutGroupBands();
    void layoutGroupSelectorsAndCommon();
    void readViewSettings();
    void restoreBounds();
    void writeViewSettings();
    void restoreVolume();
    void writeVolume();
    void runStartupStep(const std::function<void()>& step);

    QString m_programDir;
    QStringList m_arguments;
    std::unique_ptr<PathTable> m_paths;
    std::unique_ptr<ProfileFile> m_settingsFile;
    RequiredFileCheck m_required;
    ViewFlags m_view;
    AppliedSettings m_applied;
    QString m_ringingName; // empty while none is loaded
    QString m_ringingFile; // the user ringing file opened last, while it is loaded
    bool m_startupFailed = false;
    bool m_destroyed = false;

    // ---- bells: catalogue, selection, keyboard ringing, distributions ----
public:
    void cbModelRowChange();
    void cbStereoClick();
    void imgPreviewClick();
    void nSelectAllClick();
    void nDisselectAllClick();
    void btnGPrevClick();
    void btnGNextClick();
    void mPopupPopup();
    void nDeleteClick();
    const Ensemble& ensemble() const;
    // Catalogue, selection, bell strip, information panel, keyboard ringing.
    BellsPanel& bells() { return *m_bellsPanel; }
    // The distributions message, its variant buttons, the groups tree and its menu.
    GroupsPanel& groups() { return *m_groupsPanel; }

private:
    std::unique_ptr<MainBellsHost> m_bellsHost;
    BellsPanel* m_bellsPanel = nullptr;
    GroupsPanel* m_groupsPanel = nullptr;

    // ---- ringings: catalogue choices and the chooser ----
public:
    void cbCommonChange();
    void nLoadSoundsClick();
    void cbCustomSelectionChange(int group); // any group's ringing selector
    // Column `column` of the common score ("" past its end).
    QString commonScoreLine(int column) const;
    int commonScoreSize() const;
    TChannels& channels() { return *m_channels; }
    const TChannels& channels() const { return *m_channels; }
    // The ringing selectors with the rules of a choice; loading ringings
    // and the chooser.
    RingingChoices& choices() { return *m_ringingChoices; }
    RingingLoader& loader() { return *m_ringingLoader; }

private:
    // Both exist from construction, so that no handler ever meets them
    // missing; the catalogue is read in start-up step 7.
    std::unique_ptr<TSoundData> m_soundData = std::make_unique<TSoundData>();
    std::unique_ptr<TChannels> m_channels = std::make_unique<TChannels>();
    // These and the other panels exist from the start of FormCreate.
    std::unique_ptr<MainRingingChoicesHost> m_ringingChoicesHost;
    RingingChoices* m_ringingChoices = nullptr;
    std::unique_ptr<MainRingingLoaderHost> m_ringingLoaderHost;
    RingingLoader* m_ringingLoader = nullptr;

    // ---- playback: transport, tempo, volume, generator, voices ----
public:
    void btnPlayClick();
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
    // Transport, tempo, volume and generator, with the sequencer.
    TransportPanel& transport() { return *m_transportPanel; }
    void HandStrike(int bell, float gain = 1.0f);
    // Sounds a sample file at once, as a hand strike (a bell heard in the belfry dialog).
    void playSampleFile(const QString& path);
    // Sounds column `column` of the common score: on `idealFrame` (of the
    // engine's frame clock) plus the scheduling lead, or at once without one.
    void StrikeColumn(int column, std::optional<std::int64_t> idealFrame = std::nullopt);
    QStringList ColumnSampleFiles(int column);
    int BellForToken(QChar letter, int position) const;
    int audioSampleRate() const;
    int GetDeviceVolume() const; // 0..255, from the two 16-bit channel volumes
    StrikeVoices* strikeVoices();
    audio::AudioEngine* audioEngine();

private:
    void CloseFinishedVoices();
    void startAudio();
    void preloadSampleFolder();
    StrikeSwitches strikeSwitches() const;

    std::unique_ptr<MainTransportHost> m_transportHost;
    TransportPanel* m_transportPanel = nullptr;
    // The engine with its voices; null until start-up step 9 and after shutdown.
    std::unique_ptr<SoundOutput> m_sound;

    // ---- score, animation and full view ----
public:
    void cbGridClick();
    void cbShowNotesClick();
    void cbShowMovieClick();
    void cbViewChange();
    void mmResetTimerTimer();
    void nFullViewClick();
    void btnFullViewClick();
    void btnUsualViewClick();
    // While the full view is shown, the score and the animation act on its
    // pictures: RedrawScore draws its lanes, PlaceScoreCursor moves its bars.
    bool isFullViewActive() const;
    void RedrawScore();
    // Null until start-up has created them.
    BellAnimation* bellAnimation() const { return m_bellAnimation; }
    FullView* fullView() const { return m_fullView; }
    AnimationWorkers* animationWorkers() const { return m_animationWorkers; }
    ScoreView* scoreView() const { return m_scoreView; }

private:
    void PlaceScoreCursor();
    void ShowStrikeFrame(int bell);
    void ResetBellImages();
    void LayoutBellImages();
    void LayoutScoreCursors();
    void DrawFullScore();
    void PlaceFullScoreCursor();
    void setupReadableScore(); // "Крупные ноты", in main_readable.cpp

    ScoreView* m_scoreView = nullptr;
    BellAnimation* m_bellAnimation = nullptr;
    FullView* m_fullView = nullptr;
    AnimationWorkers* m_animationWorkers = nullptr;

    // ---- recording, practice, output, lessons and files ----
public:
    void nRecClick();
    void nTrainingClick();
    void OpenUserRinging(const QString& path);
    void nPrintClick();
    void nSaveSoundClick();
    void nExportHtmlClick();
    void nFileOpenClick();
    void nHelpClick();
    void nManualClick();
    void nLesson1Click();
    void nLesson2Click();
    void nLesson3Click();
    void nLesson4Click();
    void nLesson5Click();
    void nLesson6Click();
    void N1Click();
    void nForumClick();
    void nMailClick();
    void nAboutClick();
    void imgBannerClick();
    // Each created on first use.
    Trainer& trainer();
    OutputController* output();
    Lessons* lessons();
    TfrmRec* frmRec();
    // The score editor, built with the menus.
    ScoreEditor& editor() { return *m_editor; }

private:
    void createEditor();
    // The editor's options kept in the settings file, read at start-up.
    void restoreEditorSettings();
    ScoreEditor* m_editor = nullptr;
    void EndRecording();
    void openCommandLineFile();
    // Unsaved edits kept by an earlier run (a crash, a kill, a signal):
    // the newest is offered for restoring; restored, it is edited as unsaved.
    void offerUnsavedRingings();
    // Whether the ringing loaded now may be replaced: unsaved edits are
    // offered for saving first; false when the user keeps them.
    bool mayReplaceRinging();
    void restoreUnsavedRinging(const QString& path);
    TAboutBox* aboutBox();

    Lessons* m_lessons = nullptr;
    OutputController* m_output = nullptr;
    TfrmRec* m_frmRec = nullptr;
    TAboutBox* m_aboutBox = nullptr;
    Trainer* m_trainer = nullptr;
    // The adapters of the subsystems' host interfaces.
    std::unique_ptr<MainAnimationHost> m_animationHost;
    std::unique_ptr<MainGroupsHost> m_groupsHost;
    std::unique_ptr<MainOutputHost> m_outputHost;
    std::unique_ptr<MainPracticeHost> m_practiceHost;
};

#pragma once

#include "app/AppSettings.h"
#include "app/MainControls.h"
#include "base/PathTable.h"
#include "base/ProfileFile.h"
#include "base/RequiredFileCheck.h"
#include "bells/Distributions.h"
#include "bells/Ensemble.h"
#include "bells/TBellData.h"
#include "playback/ColumnStrikes.h"
#include "playback/ReleaseStreams.h"
#include "playback/StrikeVoices.h"
#include "playback/FrameClock.h"
#include "playback/Generator.h"
#include "app/MainTransportHost.h"
#include "playback/Sequencer.h"
#include "playback/TransportState.h"
#include "playback/audio/AudioEngine.h"
#include "ringing/RingingFiles.h"
#include "ringing/TChannels.h"
#include "ringing/TSoundData.h"
#include "ui/TImage.h"
#include "ui/TUpDown.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <QMainWindow>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class TfrmSelSound;
class MainAnimationHost;
class MainOutputHost;
class MainPracticeHost;
class Lessons;
class OutputController;

class AnimationWorkers;
class BellAnimation;
class BellStrip;
class ScoreView;
class EventHook;
class FullView;
class KeyStrikeNotifier;
class KeyStrikes;
class TAboutBox;
class TfrmRec;
class Trainer;

// The main window. It owns every object of the program for its whole life
// and is only a shell: each handler keeps its established name and is a few
// lines that read a control, call the subsystem's logic and show the result.
// The handlers of each subsystem are implemented in that subsystem's folder
// (src/bells/main_*.cpp, src/playback/main_*.cpp, ...).
class TfrmMain : public QMainWindow, private MainControls {
    Q_OBJECT
    // The adapters through which the subsystems reach the window (src/app/).
    friend class MainAnimationHost;
    friend class MainOutputHost;
    friend class MainPracticeHost;
    friend class MainRecordingHost;
    friend class MainTransportHost;

public:
    // programDir: the folder of the executable and its data folders.
    // arguments: the command line without the program name.
    TfrmMain(const QString& programDir, const QStringList& arguments, QWidget* parent = nullptr);
    // The same, with the reporter of the required-file check given: it gets
    // the message of a missing or damaged file instead of the modal message
    // box (an empty reporter keeps the box). For tests, which must not block.
    TfrmMain(RequiredFileCheck::Reporter reporter, const QString& programDir, const QStringList& arguments,
             QWidget* parent = nullptr);
    ~TfrmMain() override;

    // True when the required-file check asked the program to end.
    bool terminationRequested() const { return m_required.terminationRequested(); }

    const PathTable& paths() const { return *m_paths; }
    ProfileFile& settingsFile() { return *m_settingsFile; }
    RequiredFileCheck& requiredFiles() { return m_required; }

    // Runs one handler; any exception it throws is discarded, so a failing
    // handler ends silently and leaves the earlier state.
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
    void nViewPanelClick();
    void nViewSelectBellsClick();
    void nViewBellsInfoClick();
    void nViewBellsGroupsClick();
    void btnVolumeClick();
    void btnTempClick();
    void applyPanels();
    void setCaptionForRinging(const QString& name);
    void showStatusMessage(const QString& text);

private:
    void createControls();
    void createMenus();
    void connectHandlers();
    QWidget* createToolsPanel();
    QWidget* createInfoPanel();
    QWidget* createGroupsPanel();
    QWidget* createWorkArea();
    QWidget* createFullViewPanel();
    QWidget* createPopupPanel(const QString& name, QSlider*& slider, QToolButton*& up, QToolButton*& down);
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
    // Used by other subsystems.
    QString bellSampleFileName(int bell) const; // field 2 of the catalogue
    QString bellDisplayName(int bell) const;    // field 1 of the catalogue
    void ShowBellInfo();                        // refresh the information panel
    void RestoreEnsembleFromSettings();
    // Applies an ensemble in its text form (Bells, Types) after a reset:
    // pictures, groups tree, ringing choices and playback, count label.
    void applyEnsembleText(const QString& bells, const QString& types);
    void SaveEnsembleToSettings();
    const Ensemble& ensemble() const { return m_ensemble; }
    const TBellData* bellData() const { return m_bellData.get(); }
    int currentBell() const { return m_currentBell; }
    int distributionVariant() const { return m_variant; }
    // Select all / reset all (also the HTML export and the ringing loaders).
    // Toggle bell: select or unselect one bell, recompute the groups, and
    // strike the bell when it is now selected.
    void ToggleBell(int bell);
    void RecomputeGroups();
    void ShowBellCount(); // the count label "Всего колоколов: "
    // Gives the input focus to the ringing selector of group 0 small,
    // 1 middle, 2 big (the control named "cbCustomSelection" + group), when
    // it exists and can take it.
    bool focusGroupSelector(int group);
    // The keyboard handler, by Windows virtual-key code; true when the key
    // goes no further. eventTimestamp: the key event's own time (0: none).
    bool handleRingingKey(int virtualKey, bool autoRepeat, std::uint64_t eventTimestamp = 0);
    // Tells listeners (recorder, trainer) of each bell struck from the keyboard.
    KeyStrikeNotifier& keyStrikeNotifier();

    // Keyboard ringing acts on keys only while this is on (on after
    // start-up; the recording dialog turns it off while it is not recording).
    bool m_keyboardRinging = false;

    // Start-up, layout and shutdown steps of the bells subsystem.
    void loadBellCatalogue();
    void buildAddBellMenu();
    void resetBellState();
    void createBellStrip();
    void clearEnsemble();
    void fillDistributions();
    void layoutBellStrip();
    void installKeyboardHook();
    void releaseBells();

    // Bell strip and groups tree handlers.
    void bellStripClick(int bell);
    void tvGroupsMouseDown(const QPoint& pos);
    bool tvGroupsDragOver(QObject* source, const QPoint& pos);
    void tvGroupsDragDrop(QObject* source, const QPoint& pos);
    void nAddBellClick(int bell);
    QAction* addBellItem(int bell) const;
    BellStrip* bellStrip() const { return m_bellStrip; }

private:
    void setCurrentBell(int bell);
    void loadBellPicture(int bell);
    QString catalogueField(int field, int bell) const;
    void groupsChanged();
    void showDistributionsMessage();
    void fitDistributionsMessage();
    void setNavigationButtons();
    void rebuildGroupsTree();
    void afterGroupsEdit();
    std::optional<int> selectedRootGroup() const;
    int groupOfRoot(const QTreeWidgetItem* item) const;
    bool groupsTreeEvent(QEvent* event);
    bool keyboardHookEvent(QObject* watched, QEvent* event);

    Ensemble m_ensemble;
    std::unique_ptr<TBellData> m_bellData;
    Distributions m_distributions;
    int m_variant = 0;
    int m_currentBell = 0;
    BellStrip* m_bellStrip = nullptr;
    KeyStrikes* m_keyStrikes = nullptr;
    EventHook* m_keyboardHook = nullptr;
    KeyStrikeNotifier* m_keyStrikeNotifier = nullptr;
    std::array<QTreeWidgetItem*, 3> m_groupRoots{};
    int m_draggedBell = -1;
    QList<QAction*> m_addBellItems;

    // ---- ringings: catalogue choices and the chooser ----
public:
    void cbCommonChange();
    void nLoadSoundsClick();
    // The change handler shared by the three group ringing selectors
    // (group 0 small, 1 middle, 2 big), run with the selector's current item.
    void cbCustomSelectionChange(int group);
    // Used by other subsystems.
    void FillCommonChoice();
    void FillGroupChoices();
    void ClearChoices();
    // The text of column `column` of the common score ("" past its end).
    QString commonScoreLine(int column) const;
    int commonScoreSize() const;
    // The animated-group flag of group 0 small, 1 middle, 2 big.
    bool isGroupAnimated(int group) const;
    // The group ringing selector of group 0 small, 1 middle, 2 big (nullptr
    // before start-up step 14). Object names "cbCustomSelection0".."2".
    QComboBox* groupSelector(int group) const;
    TChannels& channels() { return *m_channels; }
    const TChannels& channels() const { return *m_channels; }
    TSoundData& soundData() { return *m_soundData; }
    // Loads a ringing body into score `index` (0..2 a group, 3 the common
    // score), then sets the sequencer's interval and shows tempo and total
    // duration. False when nothing was loaded (nothing changed then).
    bool LoadRinging(int index, const QString& path);
    bool loadRingingLines(int index, const QStringList& bodyLines);
    // The text side of opening a user ringing file: title, the file's
    // ensemble through [Serial], the body loaded as the common score.
    bool openUserRingingText(const QString& path);
    // Loads a list ringing from its file's lines: title, its ensemble, the
    // body as the common score, page selector and slider for a whole
    // ringing, and its name chosen in cbCommon when offered there.
    bool loadListRinging(const QStringList& fileLines);
    // The same for Custom/<name>.kol.
    bool loadListRingingByName(const QString& name);
    // After a whole ringing is loaded (chooser, play-all-in-turn, opened
    // file): page selector maximum Floor(N / 64) + 1, score redrawn, slider
    // maximum N.
    void showWholeRingingPages();
    // The chooser dialog, created on first use.
    TfrmSelSound* selSound();
    // Play-all-in-turn: the chooser's check box "Играть все по очереди".
    bool isPlayInTurnChecked() const;
    void uncheckPlayInTurn();

private:
    void createGroupSelectors();
    void layoutGroupSelectors();
    bool applyRingingLoad(const RingingLoadResult& result);
    bool applyRingingDocument(const RingingDocument& document);
    bool refuseRinging(const QString& path, const RingingReadFailure& failure);

    // Both exist from construction, so that no handler ever meets them missing;
    // the catalogue is read in start-up step 7.
    std::unique_ptr<TSoundData> m_soundData = std::make_unique<TSoundData>();
    std::unique_ptr<TChannels> m_channels = std::make_unique<TChannels>();
    std::array<QComboBox*, 3> m_groupSelectors{};
    TfrmSelSound* m_selSound = nullptr;
    QObject* m_selectorKeyFilter = nullptr;
    // Counts refills of cbCommon, so that a delayed re-enable after a choice
    // never overrides a refill made meanwhile.
    int m_commonFillCount = 0;

    // ---- playback: transport, tempo, volume, generator ----
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
    void GenerateNext();
    // Used by other subsystems.
    void ResetPlayback();
    void ShowTempo();
    void ShowTotalDuration();
    void ShowPlayTime();
    void PlayNextInTurn();
    void HandStrike(int bell);
    // Sounds column `column` of the common score. With an ideal frame (of
    // audioFrameClock) every voice starts on that frame plus the scheduling
    // lead; without one, at once.
    void StrikeColumn(int column, std::optional<std::int64_t> idealFrame = std::nullopt);
    void CloseFinishedVoices();
    // True while the sequencer plays (its timer runs).
    bool isPlaying() const;
    // Milliseconds per column. The window's timer is re-armed for each column,
    // so its own interval is not the tempo: read and set the tempo here.
    int sequencerInterval() const;
    void setSequencerInterval(int milliseconds);
    // The page selector and slider ranges after a ringing was loaded.
    void applyRingingRanges(transport::RingingLoader loader);
    // Puts the stopped transport back at `column` of the loaded ringing.
    void restorePlayPlace(int column);
    // The sequencer's state machine; created on first use.
    Sequencer& sequencer();
    // Where playback stands (current page, group-ringing mode, ...).
    TransportState& transportState() { return m_transport; }
    const TransportState& transportState() const { return m_transport; }
    // Reads the device level into the volume slider and caption.
    void showVolumeLevel();

private:
    void setupTransport();
    Generator& generator();
    void FindVolumeDevices();
    void setVolumeLevel(int level);
    TransportState m_transport;
    std::unique_ptr<MainTransportHost> m_transportHost;
    std::unique_ptr<FrameClock> m_frameClock;
    std::unique_ptr<Sequencer> m_sequencer;
    std::unique_ptr<Generator> m_generator;
    bool m_waveVolumeDevice = false;

    // ---- playback: strike voices and the audio engine (src/playback/main_voices.cpp) ----
public:
    QStringList ColumnSampleFiles(int column);
    int BellForToken(QChar letter, int position) const;
    int SendMci(const QString& command);
    bool IsVoicePlaying(const QString& alias);
    // Starts a TReleaseStream that hands CloseFinishedVoices to the main thread.
    void startReleaseStream();
    // The audio clock the sequencer anchors its columns to: frames rendered
    // so far, at audioSampleRate() frames per second.
    std::int64_t audioFrameClock() const;
    int audioSampleRate() const;
    // The device level 0..255 as the two 16-bit channel volumes give it.
    int GetDeviceVolume() const;
    void SetDeviceVolume(int level);
    // Whether there is a wave output whose volume can be set (the engine's
    // own master gain: true whenever the engine runs, with or without a device).
    bool hasWaveVolumeDevice() const;
    StrikeVoices* strikeVoices() { return m_voices.get(); }
    audio::AudioEngine* audioEngine() { return m_audio.get(); }

private:
    void startAudio();
    void stopAudio();
    void preloadSampleFolder();
    StrikeSwitches strikeSwitches() const;

    std::unique_ptr<audio::AudioEngine> m_audio;
    std::unique_ptr<MciInterpreter> m_mci;
    std::unique_ptr<StrikeVoices> m_voices;
    std::unique_ptr<ReleaseStreams> m_releaseStreams;
    QString m_preloadedFolder;

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
    // Used by other subsystems.
    void RedrawScore();
    void PlaceScoreCursor();
    void ShowStrikeFrame(int bell);
    void ResetBellImages();
    void LayoutBellImages();
    void LayoutScoreCursors();
    // The full-view flag: while it is set, the score and the animation act
    // on the full view's pictures (RedrawScore draws DrawFullScore's lanes,
    // PlaceScoreCursor moves PlaceFullScoreCursor's bars).
    bool isFullViewActive() const;
    void DrawFullScore();
    void PlaceFullScoreCursor();
    // The animation of both views, the full view and the three workers
    // (nullptr until start-up has created them).
    BellAnimation* bellAnimation() const { return m_bellAnimation; }
    FullView* fullView() const { return m_fullView; }
    AnimationWorkers* animationWorkers() const { return m_animationWorkers; }

    ScoreView* scoreView() const { return m_scoreView; }

private:
    ScoreView* m_scoreView = nullptr;
    BellAnimation* m_bellAnimation = nullptr;
    FullView* m_fullView = nullptr;
    AnimationWorkers* m_animationWorkers = nullptr;

    // ---- recording, output, lessons and files ----
public:
    void nRecClick();
    void EndRecording();
    // Ring-along practice ("Тренировка ..."); the trainer is created on first use.
    void nTrainingClick();
    Trainer& trainer();
    void OpenUserRinging(const QString& path);
    void openCommandLineFile();
    void nPrintClick();
    void nSaveSoundClick();
    // Printing, the HTML export and saving as sound; created on first use.
    OutputController* output();
    void nFileOpenClick();
    void nHelpClick();
    void nManualClick();
    void nLesson1Click();
    void nLesson2Click();
    void nLesson3Click();
    void N1Click();
    void nForumClick();
    void nMailClick();
    void nAboutClick();
    void imgBannerClick();
    // The lesson window with its voices and the Help menu's pages; created on
    // first use.
    Lessons* lessons();
    // The recording dialog and the about box, created on first use.
    TfrmRec* frmRec();
    TAboutBox* aboutBox();

private:
    Lessons* m_lessons = nullptr;
    OutputController* m_output = nullptr;
    TfrmRec* m_frmRec = nullptr;
    TAboutBox* m_aboutBox = nullptr;

private:
    Trainer* m_trainer = nullptr;
    // The adapters of the subsystems' host interfaces, created with the
    // subsystem that uses them.
    std::unique_ptr<MainAnimationHost> m_animationHost;
    std::unique_ptr<MainOutputHost> m_outputHost;
    std::unique_ptr<MainPracticeHost> m_practiceHost;

};

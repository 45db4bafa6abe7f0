// The main window's life: the start-up sequence, showing, closing and
// destruction. Each step belongs to a subsystem; this file fixes the order.

#include "animation/AnimationWorkers.h"
#include "animation/BellAnimation.h"
#include "animation/FullView.h"
#include "app/MainAnimationHost.h"
#include "app/MainBellsHost.h"
#include "app/MainGroupsHost.h"
#include "app/MainMidi.h"
#include "app/MainOutputHost.h"
#include "app/MainPracticeHost.h"
#include "app/MainRingingChoicesHost.h"
#include "app/MainRingingLoaderHost.h"
#include "app/MainScoreWelcomeHost.h"
#include "app/MainTransportHost.h"
#include "app/TfrmMain.h"
#include "app/WindowPlacement.h"
#include "base/FailureGuard.h"
#include "base/Logging.h"
#include "base/WindowCaptions.h"
#include "bells/BellsPanel.h"
#include "bells/GroupsPanel.h"
#include "bells/KeyboardRingingHook.h"
#include "playback/SoundOutput.h"
#include "playback/TransportPanel.h"
#include "record/ScoreEditor.h"
#include "record/UnsavedRingings.h"
#include "ringing/RingingChoices.h"
#include "ringing/RingingLoader.h"
#include "score/ScoreView.h"
#include "ui/JpegImage.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

#include <exception>

namespace {

// The work areas of every screen (the desktop without panels).
QList<QRect> availableScreenAreas() {
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens()) {
        areas.append(screen->availableGeometry());
    }
    return areas;
}

} // namespace

TfrmMain::TfrmMain(const QString& programDir, const QStringList& arguments, QWidget* parent)
    : TfrmMain(RequiredFileCheck::Reporter{}, programDir, arguments, parent) {}

TfrmMain::TfrmMain(RequiredFileCheck::Reporter reporter, const QString& programDir,
                   const QStringList& arguments, QWidget* parent)
    : QMainWindow(parent), m_programDir(programDir), m_arguments(arguments),
      m_required(reporter ? std::move(reporter) : RequiredFileCheck::Reporter([this](const QString& message) {
          QMessageBox::critical(this, captions::kProgram, message);
          // Ends the program when control next reaches the message loop; an
          // end during start-up is carried out by main() instead.
          QMetaObject::invokeMethod(
              qApp, [] { QCoreApplication::exit(1); }, Qt::QueuedConnection);
      })) {
    setWindowTitle(captions::kNoRinging);
    setMinimumSize(kMinimumWindowSize);
    createControls();
    FormCreate();
}

TfrmMain::~TfrmMain() {
    FormDestroy();
}

void TfrmMain::guarded(const std::function<void()>& handler) {
    // A handler that fails ends, logged, and leaves the earlier state.
    ::guarded(lcApp, "window handler", handler);
}

void TfrmMain::runStartupStep(const std::function<void()>& step) {
    // One failing step ends the sequence; the window still opens with what was built.
    if (m_startupFailed) {
        return;
    }
    if (!::guarded(lcApp, "start-up step", step)) {
        m_startupFailed = true;
    }
}

void TfrmMain::FormCreate() {
    // The bells panel exists whatever step fails, as its handlers forward to it.
    m_bellsHost = std::make_unique<MainBellsHost>(*this);
    m_bellsPanel =
        new BellsPanel({this, pnlBells, imgHot, imgPreview, mBellInfo, mBellsInfo, cbModelRow, cbStereo},
                       *m_bellsHost, this);
    // The ringing choices too: the window's forwards reach them from the
    // first steps on (the tempo shown in step 11 asks for the score's length);
    // their group selectors are made in step 14.
    m_ringingChoicesHost = std::make_unique<MainRingingChoicesHost>(*this);
    m_ringingChoices = new RingingChoices({cbCommon, pnlCustomSelections, {pnlSmall, pnlMiddle, pnlBig}},
                                          *m_ringingChoicesHost, this);
    // The loader of ringings too: the choices load through it.
    m_ringingLoaderHost = std::make_unique<MainRingingLoaderHost>(*this);
    m_ringingLoader = new RingingLoader(*m_channels, *m_ringingLoaderHost, this);
    // The transport too: the ringing choices and the score view share where playback stands.
    m_transportHost = std::make_unique<MainTransportHost>(*this);
    m_transportPanel = new TransportPanel(
        {tbProgress, edPage, udPage, lblPlayTime, lblLong, btnTemp, tbTemp, btnVolume, tbVolume, mmTimer},
        *m_transportHost, this);
    // 1-2: the usual work area in front; the full view, built with the
    // animation, starts hidden behind it.
    runStartupStep([this] {
        placeOverlayPanels();
        pnlUsualView->raise();
    });
    // 3: the association of user ringing files is written once the window
    // is shown, off the path to it (main()).
    // 5: the program's folder becomes the current folder.
    runStartupStep([this] { QDir::setCurrent(m_programDir); });
    // 7: path table and settings file.
    runStartupStep([this] {
        m_paths = std::make_unique<PathTable>(PathTable::forExecutable(m_programDir));
        m_settingsFile = std::make_unique<ProfileFile>(m_paths->settingsFile());
    });
    // The banner picture of the information panel.
    runStartupStep([this] {
        imgBanner->setPicture(
            QPixmap::fromImage(loadJpeg(m_paths->imagesDir() + QStringLiteral("banner.jpg"))));
    });
    // 7: the bell catalogue, the ringing catalogue (a missing or damaged list
    // file is fatal) and the "Добавить колокол" sub-menu.
    runStartupStep([this] { m_bellsPanel->loadBellCatalogue(); });
    runStartupStep([this] { m_soundData->load(m_paths->campanelDir(), m_required); });
    // The groups panel exists whatever step fails, as its handlers forward to it.
    m_groupsHost = std::make_unique<MainGroupsHost>(*this);
    m_groupsPanel =
        new GroupsPanel({mDesc, btnGPrev, btnGNext, tvGroups, mPopup, nDelete, nAdd}, *m_groupsHost, this);
    runStartupStep([this] { m_groupsPanel->buildAddBellMenu(); });
    // 8: the default settings file, only when there is none.
    runStartupStep([this] {
        const QScreen* screen = QApplication::primaryScreen();
        const QSize workArea = screen ? screen->availableGeometry().size() : QSize(1024, 768);
        AppSettings(*m_settingsFile).writeDefaultFileIfMissing(workArea);
    });
    // 9-11: view flags and options, window bounds, panels.
    runStartupStep([this] { readViewSettings(); });
    runStartupStep([this] { restoreBounds(); });
    runStartupStep([this] { applyPanels(); });
    // Audio: the engine on the sound device (or, without one, the silent
    // null driver) and the decoding of the sample set in the background.
    runStartupStep([this] { startAudio(); });
    // The sequencer's controls: tempo and volume shown.
    runStartupStep([this] { m_transportPanel->setup(); });
    runStartupStep([this] { restoreVolume(); });
    // 12: current bell and keyboard ringing.
    runStartupStep([this] { m_bellsPanel->resetBellState(); });
    // 13: the bell strip.
    runStartupStep([this] { m_bellsPanel->createBellStrip(); });
    // 14: the three group ringing selectors.
    runStartupStep([this] { m_ringingChoices->createGroupSelectors(); });
    // 15-16: the animation pictures of the usual view, then of the full view
    // (pnlCustomSelections and pnlImages paint through the window's back
    // buffer, so switching pictures never flickers).
    runStartupStep([this] {
        m_animationHost = std::make_unique<MainAnimationHost>(*this);
        m_bellAnimation = new BellAnimation(*m_animationHost, this);
        // The full view's panel holds the large pictures.
        m_fullView = new FullView(pnlMainArea, *m_animationHost, *m_bellAnimation);
        m_bellAnimation->CreateBellImages();
        m_bellAnimation->CreateChordImages();
        m_bellAnimation->CreateAnimationOffImages();
        m_bellAnimation->CreateFullBellImages();
        m_bellAnimation->CreateFullChordImages();
        m_bellAnimation->CreateFullAnimationOffImages();
    });
    // 17: the score images, the full view's score images, then the cursor bars.
    runStartupStep([this] {
        m_scoreView = new ScoreView({{pnlSmallBells, pnlMiddleBells, pnlBigBells},
                                     {pnlSmallFace, pnlMiddleFace, pnlBigFace},
                                     cbGrid,
                                     cbShowNotes,
                                     this},
                                    *m_channels, m_bellsPanel->ensemble(), m_transportPanel->state(), this);
        m_scoreView->setHooks({[this] { RedrawScore(); }, [this] { PlaceScoreCursor(); }});
        m_scoreView->setWelcomeHost(std::make_unique<MainScoreWelcomeHost>(*this, cbCommon));
        m_scoreView->CreateScoreImages();
        m_fullView->CreateFullScoreImages();
        m_scoreView->CreateScoreCursors();
        setupReadableScore();
        m_editor->watchStaves();
        restoreEditorSettings();
    });
    // 18-22: the ensemble, the distributions and the stored ensemble.
    runStartupStep([this] { m_bellsPanel->clearEnsemble(); });
    runStartupStep([this] { m_groupsPanel->fillDistributions(); });
    runStartupStep([this] { m_bellsPanel->ShowBellInfo(); });
    runStartupStep([this] { groups().RecomputeGroups(); });
    runStartupStep([this] {
        m_bellsPanel->RestoreEnsembleFromSettings();
        m_applied.ensemble = true;
    });
    // The MIDI instrument used last, when it is plugged in.
    runStartupStep([this] { startMidi(*this); });
    // 25: the pictures of the chosen style, at rest.
    runStartupStep([this] {
        m_bellAnimation->HideOtherViewImages();
        ResetBellImages();
    });
    // 26: the count of selected bells.
    runStartupStep([this] { m_bellsPanel->ShowBellCount(); });
    // 27: the view style, the score switch and the animation switch as the
    // settings have them.
    runStartupStep([this] { cbViewChange(); });
    runStartupStep([this] { cbShowNotesClick(); });
    runStartupStep([this] { cbShowMovieClick(); });
    // 28: the recording command becomes available.
    runStartupStep([this] { nRec->setVisible(true); });
    // 30: the three animation workers, each handing its operation over once.
    runStartupStep([this] { m_animationWorkers = new AnimationWorkers(*m_animationHost); });
    // 31: a user ringing file named on the command line, once the message
    // loop runs and the workers' hand-overs are served, so that its first
    // strike is neither made inside start-up nor repeated by a hand-over.
    runStartupStep([this] {
        m_animationWorkers->whenServed(this, [this] {
            guarded([this] { openCommandLineFile(); });
            guarded([this] { offerUnsavedRingings(); });
        });
    });
}

void TfrmMain::readViewSettings() {
    AppSettings settings(*m_settingsFile);
    m_view = settings.readViewFlags();
    const ViewOptions options = settings.readViewOptions();
    cbGrid->setChecked(options.grid);
    cbView->setCurrentIndex(options.view);
    cbStereo->setChecked(options.stereo);
    cbShowNotes->setChecked(options.notes);
    cbShowMovie->setChecked(options.animate);
    cbModelRow->setCurrentIndex(options.model);
    m_paths->setSampleFolder(options.model, options.stereo);
    m_bellsPanel->refreshBelfries();
    if (options.belfry.isEmpty() || !m_bellsPanel->selectBelfry(options.belfry)) {
        cbModelRowChange();
    }
    m_applied.view = true;
}

void TfrmMain::restoreBounds() {
    const QRect stored = AppSettings(*m_settingsFile).readBounds();
    const QRect placed = placeOnScreens(QRect(stored.topLeft(), boundedWindowSize(stored.size())),
                                        availableScreenAreas(), kMinimumWindowSize);
    move(placed.topLeft());
    resize(placed.size());
    m_applied.bounds = true;
}

void TfrmMain::restoreVolume() {
    // Without a stored level the device keeps its full level.
    if (const std::optional<int> level = AppSettings(*m_settingsFile).readVolume()) {
        if (m_sound) {
            m_sound->setDeviceLevel(*level);
        }
        m_transportPanel->showVolumeLevel();
    }
    m_applied.volume = true;
}

void TfrmMain::writeVolume() {
    if (!m_sound) {
        return;
    }
    AppSettings settings(*m_settingsFile);
    const int level = GetDeviceVolume();
    // A file that never had the key gets it only once the level differs from full.
    if (level != kFullVolume || settings.readVolume().has_value()) {
        settings.writeVolume(level);
    }
}

void TfrmMain::writeViewSettings() {
    ViewOptions options;
    options.grid = cbGrid->isChecked();
    options.stereo = cbStereo->isChecked();
    options.animate = cbShowMovie->isChecked();
    options.notes = cbShowNotes->isChecked();
    options.view = cbView->currentIndex();
    // A belfry of one's own is kept by its name; the row before it stays
    // the first synthesized one, which older versions read.
    const BelfryRow* belfry = m_bellsPanel->belfryRow();
    options.model = belfry ? 0 : cbModelRow->currentIndex();
    options.belfry = belfry ? belfry->belfry().name : QString();
    AppSettings(*m_settingsFile).writeViewFlagsAndOptions(m_view, options);
}

void TfrmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    guarded([this] { FormShow(); });
}

void TfrmMain::FormShow() {
    // The keyboard handler, as an application-wide event filter.
    m_bellsPanel->keyboard().install();
    // The window starts with the focus on the bell strip, so that the keys
    // the handler passes on (Up, Down, ...) do not change a list by surprise.
    if (!focusWidget()) {
        pnlBells->setFocus(Qt::OtherFocusReason);
    }
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    // Only unsaved edits may hold the window open; an end asked for by the
    // required-file check saves nothing.
    if (m_editor && !terminationRequested() && !m_editor->maySetAside()) {
        event->ignore();
        return;
    }
    if (!terminationRequested()) {
        guarded([this] { FormCloseQuery(); });
    }
    event->accept();
}

void TfrmMain::closeOnTermination() {
    if (m_editor) {
        // Where they went is logged (a warning, so it reaches the terminal);
        // the next start offers them.
        guarded([this] { m_editor->keepUnsavedForEnd(unsavedRingingFolders()); });
    }
    close();
}

void TfrmMain::FormCloseQuery() {
    if (!m_settingsFile) {
        return;
    }
    // Only what start-up read and applied goes back: after a start-up that
    // ended early the other controls hold defaults, not the user's settings.
    if (m_applied.view) {
        guarded([this] { writeViewSettings(); });
    }
    if (m_applied.bounds) {
        guarded([this] {
            const QRect bounds =
                placeOnScreens(QRect(pos(), size()), availableScreenAreas(), kMinimumWindowSize);
            AppSettings(*m_settingsFile).writeBounds(bounds);
        });
    }
    if (m_applied.ensemble) {
        guarded([this] { m_bellsPanel->SaveEnsembleToSettings(); });
    }
    if (m_applied.volume) {
        guarded([this] { writeVolume(); });
    }
}

void TfrmMain::FormDestroy() {
    if (m_destroyed) {
        return;
    }
    m_destroyed = true;
    guarded([this] {
        mmResetTimer->stop();
        mmTimer->stop();
        if (m_editor) {
            m_editor->shutDown();
        }
    });
    // The workers, in the order scroll, strike, image reset; their bodies
    // have ended long before, so nothing is waited for.
    guarded([this] {
        delete m_animationWorkers;
        m_animationWorkers = nullptr;
    });
    // The group ringing selectors; keyboard strikes still on their way, the
    // keyboard handler and the bell strip; then the ringing catalogue.
    guarded([this] { m_ringingChoices->releaseGroupSelectors(); });
    guarded([this] {
        m_bellsPanel->keyboard().removeHook();
        m_groupsPanel->removeEventHooks();
        m_bellsPanel->releaseBells();
    });
    guarded([this] { m_soundData.reset(); });
    // Audio last, so that no strike finds it gone: the last sweep of finished
    // voices, then the engine.
    guarded([this] { CloseFinishedVoices(); });
    guarded([this] { m_sound.reset(); });
}

void TfrmMain::nExitClick() {
    close();
}

void TfrmMain::showNoRinging() {
    m_ringingName.clear();
    setWindowTitle(captions::kNoRinging);
}

void TfrmMain::setCaptionForRinging(const QString& name) {
    m_ringingName = name;
    setWindowTitle(captions::forRinging(name));
}

void TfrmMain::showStatusMessage(const QString& text) {
    statusBar()->showMessage(text);
}

// Wires the controls and menu items to the handlers of the main window.
// Every handler runs inside the guard, so a failure ends it silently.

#include "app/TfrmMain.h"
#include "playback/TransportPanel.h"
#include "practice/Trainer.h"

void TfrmMain::connectHandlers() {
    // Every handler runs inside the guard: a failure ends it silently.
    auto on = [this](auto* sender, auto signal, void (TfrmMain::*handler)()) {
        connect(sender, signal, this, [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
    };

    on(nFileOpen, &QAction::triggered, &TfrmMain::nFileOpenClick);
    on(nLoadSounds, &QAction::triggered, &TfrmMain::nLoadSoundsClick);
    on(nPrint, &QAction::triggered, &TfrmMain::nPrintClick);
    on(nSaveSound, &QAction::triggered, &TfrmMain::nSaveSoundClick);
    on(nExportHtml, &QAction::triggered, &TfrmMain::nExportHtmlClick);
    on(nExit, &QAction::triggered, &TfrmMain::nExitClick);
    on(nSelectAll, &QAction::triggered, &TfrmMain::nSelectAllClick);
    on(btnSelectAll, &QToolButton::clicked, &TfrmMain::nSelectAllClick);
    on(nDisselectAll, &QAction::triggered, &TfrmMain::nDisselectAllClick);
    on(btnDisselectAll, &QToolButton::clicked, &TfrmMain::nDisselectAllClick);

    on(nPlay, &QAction::triggered, &TfrmMain::btnPlayClick);
    on(btnPlay, &QToolButton::clicked, &TfrmMain::btnPlayClick);
    on(nPause, &QAction::triggered, &TfrmMain::btnPauseClick);
    on(btnPause, &QToolButton::clicked, &TfrmMain::btnPauseClick);
    on(nStop, &QAction::triggered, &TfrmMain::btnStopClick);
    on(btnStop, &QToolButton::clicked, &TfrmMain::btnStopClick);
    on(nRew, &QAction::triggered, &TfrmMain::btnRewClick);
    on(btnRew, &QToolButton::clicked, &TfrmMain::btnRewClick);
    on(nFF, &QAction::triggered, &TfrmMain::btnFFClick);
    on(btnFF, &QToolButton::clicked, &TfrmMain::btnFFClick);
    on(nGenerator, &QAction::triggered, &TfrmMain::nGeneratorClick);
    on(btnGenerator, &QToolButton::clicked, &TfrmMain::nGeneratorClick);
    on(nRec, &QAction::triggered, &TfrmMain::nRecClick);
    on(btnRecord, &QToolButton::clicked, &TfrmMain::nRecClick);
    on(nTraining, &QAction::triggered, &TfrmMain::nTrainingClick);
    if (QAction* ear = findChild<QAction*>(QStringLiteral("nEarTraining"))) {
        connect(ear, &QAction::triggered, this,
                [this] { guarded([this] { trainer().nEarTrainingClick(); }); });
    }
    on(nTempUp, &QAction::triggered, &TfrmMain::nTempUpClick);
    on(btnTempUp, &QToolButton::clicked, &TfrmMain::nTempUpClick);
    on(nTempDown, &QAction::triggered, &TfrmMain::nTempDownClick);
    on(btnTempDown, &QToolButton::clicked, &TfrmMain::nTempDownClick);
    on(nVolumeUp, &QAction::triggered, &TfrmMain::nVolumeUpClick);
    on(btnVolumeUp, &QToolButton::clicked, &TfrmMain::nVolumeUpClick);
    on(nVolumeDown, &QAction::triggered, &TfrmMain::nVolumeDownClick);
    on(btnVolumeDown, &QToolButton::clicked, &TfrmMain::nVolumeDownClick);
    on(btnTemp, &QPushButton::clicked, &TfrmMain::btnTempClick);
    on(btnVolume, &QPushButton::clicked, &TfrmMain::btnVolumeClick);
    on(tbTemp, &QSlider::valueChanged, &TfrmMain::tbTempChange);
    on(tbVolume, &QSlider::valueChanged, &TfrmMain::tbVolumeChange);
    on(tbProgress, &QSlider::valueChanged, &TfrmMain::tbProgressChange);
    on(udPage, &TUpDown::clicked, &TfrmMain::udPageClick);
    on(mmTimer, &QTimer::timeout, &TfrmMain::mmTimerTimer);
    on(mmResetTimer, &QTimer::timeout, &TfrmMain::mmResetTimerTimer);

    on(nViewPanel, &QAction::triggered, &TfrmMain::nViewPanelClick);
    on(nViewSelectBells, &QAction::triggered, &TfrmMain::nViewSelectBellsClick);
    on(nViewBellsInfo, &QAction::triggered, &TfrmMain::nViewBellsInfoClick);
    on(nViewBellsGroups, &QAction::triggered, &TfrmMain::nViewBellsGroupsClick);
    on(nFullView, &QAction::triggered, &TfrmMain::nFullViewClick);
    on(btnFullView, &QToolButton::clicked, &TfrmMain::btnFullViewClick);

    on(cbModelRow, &QComboBox::activated, &TfrmMain::cbModelRowChange);
    on(cbStereo, &QCheckBox::clicked, &TfrmMain::cbStereoClick);
    on(imgPreview, &TImage::clicked, &TfrmMain::imgPreviewClick);
    on(btnGPrev, &QToolButton::clicked, &TfrmMain::btnGPrevClick);
    on(btnGNext, &QToolButton::clicked, &TfrmMain::btnGNextClick);
    on(mPopup, &QMenu::aboutToShow, &TfrmMain::mPopupPopup);
    on(nDelete, &QAction::triggered, &TfrmMain::nDeleteClick);
    on(cbCommon, &QComboBox::activated, &TfrmMain::cbCommonChange);

    on(cbGrid, &QCheckBox::clicked, &TfrmMain::cbGridClick);
    // A group switched off or on changes what the columns held by the engine sound.
    for (QCheckBox* box : {cbSmall, cbMiddle, cbBig}) {
        connect(box, &QCheckBox::toggled, this,
                [this] { guarded([this] { m_transportPanel->soundsChanged(); }); });
    }
    on(cbShowNotes, &QCheckBox::clicked, &TfrmMain::cbShowNotesClick);
    on(cbShowMovie, &QCheckBox::clicked, &TfrmMain::cbShowMovieClick);
    on(cbView, &QComboBox::activated, &TfrmMain::cbViewChange);

    on(nHelp, &QAction::triggered, &TfrmMain::nHelpClick);
    on(nManual, &QAction::triggered, &TfrmMain::nManualClick);
    on(nLesson1, &QAction::triggered, &TfrmMain::nLesson1Click);
    on(nLesson2, &QAction::triggered, &TfrmMain::nLesson2Click);
    on(nLesson3, &QAction::triggered, &TfrmMain::nLesson3Click);
    on(nLesson4, &QAction::triggered, &TfrmMain::nLesson4Click);
    on(nLesson5, &QAction::triggered, &TfrmMain::nLesson5Click);
    on(nLesson6, &QAction::triggered, &TfrmMain::nLesson6Click);
    on(N1, &QAction::triggered, &TfrmMain::N1Click);
    on(nForum, &QAction::triggered, &TfrmMain::nForumClick);
    on(nMail, &QAction::triggered, &TfrmMain::nMailClick);
    on(nAbout, &QAction::triggered, &TfrmMain::nAboutClick);
    on(imgBanner, &TImage::clicked, &TfrmMain::imgBannerClick);
}

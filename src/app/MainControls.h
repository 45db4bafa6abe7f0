#pragma once

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QTimer;
class QToolButton;
class QTreeWidget;
class QWidget;
class TImage;
class TUpDown;

// The controls of the main window, named as the design names them and
// created by TfrmMain::createControls. The window inherits them privately:
// its own handlers use them by name, nobody else reaches them (tests find
// them by object name).
struct MainControls {
    // Menus
    QMenu* mFile = nullptr;
    QMenu* mBellsMenu = nullptr;
    QMenu* nPlayer = nullptr;
    QMenu* mViewMenu = nullptr;
    QMenu* nReference = nullptr;
    QAction* nFileOpen = nullptr;
    QAction* nLoadSounds = nullptr;
    QAction* nPrint = nullptr;
    QAction* nSaveSound = nullptr;
    QAction* nExit = nullptr;
    QAction* nSelectAll = nullptr;
    QAction* nDisselectAll = nullptr;
    QAction* nPlay = nullptr;
    QAction* nPause = nullptr;
    QAction* nStop = nullptr;
    QAction* nRew = nullptr;
    QAction* nFF = nullptr;
    QAction* nGenerator = nullptr;
    QAction* nRec = nullptr;
    QAction* nTraining = nullptr;
    QAction* nTempUp = nullptr;
    QAction* nTempDown = nullptr;
    QAction* nVolumeUp = nullptr;
    QAction* nVolumeDown = nullptr;
    QAction* nViewPanel = nullptr;
    QAction* nViewSelectBells = nullptr;
    QAction* nViewBellsInfo = nullptr;
    QAction* nViewBellsGroups = nullptr;
    QAction* nFullView = nullptr;
    QAction* nHelp = nullptr;
    QAction* nManual = nullptr;
    QAction* nLesson1 = nullptr;
    QAction* nLesson2 = nullptr;
    QAction* nLesson3 = nullptr;
    QAction* N1 = nullptr;
    QAction* nForum = nullptr;
    QAction* nMail = nullptr;
    QAction* nAbout = nullptr;

    // The whole area above the tool bar: the usual view and the full view
    // lie on top of each other in it.
    QWidget* pnlMainArea = nullptr;
    QWidget* pnlUsualView = nullptr;

    // Bell strip
    QFrame* pnlBells = nullptr;
    TImage* imgHot = nullptr;

    // Information panel
    QFrame* pnlInfo = nullptr;
    QFrame* pnlBellInfo = nullptr;
    TImage* imgPreview = nullptr;
    QPlainTextEdit* mBellInfo = nullptr;
    QFrame* pnlBellsInfo = nullptr;
    QPlainTextEdit* mBellsInfo = nullptr;
    QComboBox* cbModelRow = nullptr;
    QCheckBox* cbStereo = nullptr;
    QFrame* pnlBanner = nullptr;
    TImage* imgBanner = nullptr;

    // Groups panel
    QFrame* pnlBellsGroups = nullptr;
    QPlainTextEdit* mDesc = nullptr;
    QToolButton* btnGPrev = nullptr;
    QToolButton* btnGNext = nullptr;
    QTreeWidget* tvGroups = nullptr;
    QMenu* mPopup = nullptr;
    QAction* nDelete = nullptr;
    QMenu* nAdd = nullptr;

    // Work area: the common ringing list, the group bands and the selectors
    QFrame* pnlWork = nullptr;
    QFrame* pnlCommon = nullptr;
    QLabel* lblCommon = nullptr;
    QComboBox* cbCommon = nullptr;
    QToolButton* btnFullView = nullptr;
    QFrame* pnlBellsBox = nullptr;
    QFrame* pnlSmall = nullptr;
    QFrame* pnlMiddle = nullptr;
    QFrame* pnlBig = nullptr;
    QCheckBox* cbSmall = nullptr;
    QCheckBox* cbMiddle = nullptr;
    QCheckBox* cbBig = nullptr;
    QFrame* pnlSmallBells = nullptr;
    QFrame* pnlMiddleBells = nullptr;
    QFrame* pnlBigBells = nullptr;
    QLabel* pnlSmallFace = nullptr;
    QLabel* pnlMiddleFace = nullptr;
    QLabel* pnlBigFace = nullptr;
    QFrame* pnlCustomSelections = nullptr;

    // Tool bar with the transport (at the bottom of the window)
    QFrame* pnlTools = nullptr;
    QToolButton* btnSelectAll = nullptr;
    QToolButton* btnDisselectAll = nullptr;
    QToolButton* btnPlay = nullptr;
    QToolButton* btnPause = nullptr;
    QToolButton* btnStop = nullptr;
    QToolButton* btnRew = nullptr;
    QToolButton* btnFF = nullptr;
    QToolButton* btnGenerator = nullptr;
    QToolButton* btnRecord = nullptr;
    QSlider* tbProgress = nullptr;
    QLineEdit* edPage = nullptr;
    TUpDown* udPage = nullptr;
    QLabel* lblPlayTime = nullptr;
    QLabel* lblLong = nullptr;
    QPushButton* btnTemp = nullptr;
    QPushButton* btnVolume = nullptr;
    QCheckBox* cbShowNotes = nullptr;
    QCheckBox* cbGrid = nullptr;
    QCheckBox* cbShowMovie = nullptr;
    QComboBox* cbView = nullptr;

    // Pop-up panels of tempo and volume
    QFrame* pnlTemp = nullptr;
    QSlider* tbTemp = nullptr;
    QToolButton* btnTempUp = nullptr;
    QToolButton* btnTempDown = nullptr;
    QFrame* pnlVolume = nullptr;
    QSlider* tbVolume = nullptr;
    QToolButton* btnVolumeUp = nullptr;
    QToolButton* btnVolumeDown = nullptr;

    // Full view
    QFrame* pnlFullView = nullptr;
    QFrame* pnlPTools = nullptr;
    QComboBox* cbCustomBells1 = nullptr;
    QComboBox* cbCustomBells2 = nullptr;
    QComboBox* cbCustomBells3 = nullptr;
    QComboBox* cbFullCommon = nullptr;
    QToolButton* btnUsualView = nullptr;
    QComboBox* cbFullView = nullptr;
    QFrame* pnlNotes = nullptr;
    QFrame* pnlBigBellsTitle = nullptr;
    QFrame* pnlMiddleBellsTitle = nullptr;
    QFrame* pnlSmallBellsTitle = nullptr;
    QFrame* pnlBellNotes1 = nullptr;
    QFrame* pnlBellNotes2 = nullptr;
    QFrame* pnlBellNotes3 = nullptr;
    QFrame* pnlImages = nullptr;

    // Timers
    QTimer* mmTimer = nullptr;
    QTimer* mmResetTimer = nullptr;
};

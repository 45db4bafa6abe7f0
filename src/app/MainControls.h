#pragma once

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

class QMainWindow;
class QMenuBar;
class QObject;

// The controls of the main window, named as the design names them. The
// window inherits them privately: its own handlers use them by name, nobody
// else reaches them (tests find them by object name). Geometry that the
// program computes (the bell strip, the group bands, the selectors) is set
// by each subsystem's layout code; here the panels only get their place and
// their design-time sizes.
struct MainControls {
    // Builds every control, menu and timer into `window`. `layoutWatcher`
    // filters the events of the panels whose size drives the layout.
    void build(QMainWindow& window, QObject& layoutWatcher);

private:
    void createMenus(QMenuBar* bar);
    QWidget* createInfoPanel();
    QWidget* createGroupsPanel(QWidget& window);
    QWidget* createWorkArea(QObject& layoutWatcher);
    QWidget* createToolsPanel();
    QWidget* createPopupPanel(const QString& name, QSlider*& slider, QToolButton*& up, QToolButton*& down);

public:
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
    QAction* nExportHtml = nullptr;
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
    QAction* nLesson4 = nullptr;
    QAction* nLesson5 = nullptr;
    QAction* nLesson6 = nullptr;
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

    // Timers
    QTimer* mmTimer = nullptr;
    QTimer* mmResetTimer = nullptr;
};

// Builds the controls, panels and menus of the main window. Geometry that
// the program computes (the bell strip, the group bands, the selectors) is
// set by the layout code of each subsystem; here the panels only get their
// place in the window and their design-time sizes.

#include "app/MainBelfry.h"
#include "app/MainMidi.h"
#include "app/TfrmMain.h"
#include "ui/ControlHints.h"
#include "ui/PanelWidgets.h"
#include "ui/TImage.h"
#include "ui/TUpDown.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QPlainTextEdit* makeMemo(const QString& name, QWidget* parent) {
    auto* memo = new QPlainTextEdit(parent);
    memo->setObjectName(name);
    memo->setReadOnly(true);
    memo->setFrameShape(QFrame::NoFrame);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    memo->setFocusPolicy(Qt::NoFocus);
    QPalette pal = memo->palette();
    pal.setColor(QPalette::Base, pal.color(QPalette::Window));
    memo->setPalette(pal);
    return memo;
}

QLabel* makeTitle(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

QAction* makeAction(QMenu* menu, const QString& name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

} // namespace

void TfrmMain::createControls() {
    setObjectName(QStringLiteral("frmMain"));
    build(*this, *this);
    connectHandlers();
    createEditor();
    addMidiMenuItem(*this, *mBellsMenu);
    addBelfryMenuItem(*this, *mBellsMenu);
}

void MainControls::build(QMainWindow& window, QObject& layoutWatcher) {
    createMenus(window.menuBar());

    auto* central = new QWidget(&window);
    auto* centralLayout = new QVBoxLayout(central);
    centralLayout->setContentsMargins(0, 0, 0, 0);
    centralLayout->setSpacing(0);

    // The usual view and the full view share pnlMainArea; both are sized to
    // it by placeOverlayPanels and the one in front is the one seen.
    pnlMainArea = new QWidget(central);
    pnlMainArea->setObjectName(QStringLiteral("pnlMainArea"));
    pnlMainArea->installEventFilter(&layoutWatcher);
    centralLayout->addWidget(pnlMainArea, 1);

    pnlUsualView = new QWidget(pnlMainArea);
    pnlUsualView->setObjectName(QStringLiteral("pnlUsualView"));
    pnlUsualView->setAutoFillBackground(true);
    auto* usual = new QVBoxLayout(pnlUsualView);
    usual->setContentsMargins(0, 0, 0, 0);
    usual->setSpacing(0);

    pnlBells = makePanel(QStringLiteral("pnlBells"), pnlUsualView, QFrame::StyledPanel);
    pnlBells->setFixedHeight(56);
    pnlBells->setFocusPolicy(Qt::StrongFocus);
    imgHot = new TImage(pnlBells);
    imgHot->setObjectName(QStringLiteral("imgHot"));
    imgHot->setStyleSheet(QStringLiteral("background-color: #1f5fbf;"));
    imgHot->setGeometry(2, 52, 48, 3);
    usual->addWidget(pnlBells);

    pnlInfo = makePanel(QStringLiteral("pnlInfo"), pnlUsualView, QFrame::StyledPanel);
    pnlInfo->setLayout(new QHBoxLayout);
    pnlInfo->layout()->setContentsMargins(0, 0, 0, 0);
    pnlInfo->layout()->setSpacing(0);
    pnlInfo->layout()->addWidget(createInfoPanel());
    pnlInfo->installEventFilter(&layoutWatcher);
    usual->addWidget(pnlInfo);

    auto* lower = new QWidget(pnlUsualView);
    auto* lowerLayout = new QHBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->setSpacing(0);
    lowerLayout->addWidget(createWorkArea(layoutWatcher), 1);
    lowerLayout->addWidget(createGroupsPanel(window));
    usual->addWidget(lower, 1);

    pnlTools = static_cast<QFrame*>(createToolsPanel());
    centralLayout->addWidget(pnlTools);

    QWidget* tempPanel = createPopupPanel(QStringLiteral("pnlTemp"), tbTemp, btnTempUp, btnTempDown);
    pnlTemp = static_cast<QFrame*>(tempPanel);
    pnlTemp->setParent(central);
    tbTemp->setRange(50, 1000);
    tbTemp->setValue(148);
    tbTemp->setToolTip(QStringLiteral("Темп"));
    btnTempUp->setToolTip(QStringLiteral("Ускорить темп"));
    btnTempDown->setToolTip(QStringLiteral("Замедлить темп"));

    QWidget* volumePanel = createPopupPanel(QStringLiteral("pnlVolume"), tbVolume, btnVolumeUp, btnVolumeDown);
    pnlVolume = static_cast<QFrame*>(volumePanel);
    pnlVolume->setParent(central);
    tbVolume->setRange(0, 255);
    tbVolume->setValue(0);
    tbVolume->setToolTip(QStringLiteral("Громкость"));
    btnVolumeUp->setToolTip(QStringLiteral("Увеличить громкость"));
    btnVolumeDown->setToolTip(QStringLiteral("Уменьшить громкость"));
    pnlTemp->hide();
    pnlVolume->hide();

    window.setCentralWidget(central);
    window.statusBar()->setSizeGripEnabled(true);

    mmTimer = new QTimer(&window);
    mmTimer->setObjectName(QStringLiteral("mmTimer"));
    mmTimer->setTimerType(Qt::PreciseTimer);
    mmTimer->setInterval(144);
    mmResetTimer = new QTimer(&window);
    mmResetTimer->setObjectName(QStringLiteral("mmResetTimer"));
    mmResetTimer->setTimerType(Qt::PreciseTimer);
    mmResetTimer->setInterval(150);
}

void MainControls::createMenus(QMenuBar* bar) {

    mFile = bar->addMenu(QStringLiteral("Файл"));
    mFile->setObjectName(QStringLiteral("mFile"));
    nFileOpen = makeAction(mFile, QStringLiteral("nFileOpen"), QStringLiteral("Открыть ..."));
    nFileOpen->setShortcut(QKeySequence::Open);
    nLoadSounds = makeAction(mFile, QStringLiteral("nLoadSounds"), QStringLiteral("Загрузить звоны ..."));
    mFile->addSeparator();
    nPrint = makeAction(mFile, QStringLiteral("nPrint"), QStringLiteral("Печать"));
    nPrint->setShortcut(QKeySequence::Print);
    nSaveSound = makeAction(mFile, QStringLiteral("nSaveSound"), QStringLiteral("Сохранить как звук ..."));
    nExportHtml = makeAction(mFile, QStringLiteral("nExportHtml"), QStringLiteral("Экспорт в HTML ..."));
    mFile->addSeparator();
    nExit = makeAction(mFile, QStringLiteral("nExit"), QStringLiteral("Выход"));
    nExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    mBellsMenu = bar->addMenu(QStringLiteral("Колокола"));
    mBellsMenu->setObjectName(QStringLiteral("mBellsMenu"));
    nSelectAll = makeAction(mBellsMenu, QStringLiteral("nSelectAll"), QStringLiteral("Выделить все"));
    nDisselectAll = makeAction(mBellsMenu, QStringLiteral("nDisselectAll"), QStringLiteral("Сбросить все"));

    nPlayer = bar->addMenu(QStringLiteral("Проигрыватель"));
    nPlayer->setObjectName(QStringLiteral("nPlayer"));
    nPlay = makeAction(nPlayer, QStringLiteral("nPlay"), QStringLiteral("Проиграть"));
    nPause = makeAction(nPlayer, QStringLiteral("nPause"), QStringLiteral("Приостановить"));
    nStop = makeAction(nPlayer, QStringLiteral("nStop"), QStringLiteral("Остановить"));
    nRew = makeAction(nPlayer, QStringLiteral("nRew"), QStringLiteral("Перемотать назад"));
    nFF = makeAction(nPlayer, QStringLiteral("nFF"), QStringLiteral("Перемотать вперед"));
    nPlayer->addSeparator();
    nGenerator = makeAction(nPlayer, QStringLiteral("nGenerator"), QStringLiteral("В случайном порядке"));
    nRec = makeAction(nPlayer, QStringLiteral("nRec"), QStringLiteral("Запись"));
    nRec->setVisible(false);
    nTraining = makeAction(nPlayer, QStringLiteral("nTraining"), QStringLiteral("Тренировка ..."));
    makeAction(nPlayer, QStringLiteral("nEarTraining"), QStringLiteral("Тренировка слуха ..."));
    nPlayer->addSeparator();
    nTempUp = makeAction(nPlayer, QStringLiteral("nTempUp"), QStringLiteral("Ускорить темп"));
    nTempDown = makeAction(nPlayer, QStringLiteral("nTempDown"), QStringLiteral("Замедлить темп"));
    nVolumeUp = makeAction(nPlayer, QStringLiteral("nVolumeUp"), QStringLiteral("Увеличить громкость"));
    nVolumeDown = makeAction(nPlayer, QStringLiteral("nVolumeDown"), QStringLiteral("Уменьшить громкость"));

    mViewMenu = bar->addMenu(QStringLiteral("Вид"));
    mViewMenu->setObjectName(QStringLiteral("mViewMenu"));
    nViewPanel = makeAction(mViewMenu, QStringLiteral("nViewPanel"), QStringLiteral("Панель инструментов"));
    nViewSelectBells =
        makeAction(mViewMenu, QStringLiteral("nViewSelectBells"), QStringLiteral("Панель выбора колоколов"));
    nViewBellsInfo =
        makeAction(mViewMenu, QStringLiteral("nViewBellsInfo"), QStringLiteral("Панель информации о колоколах"));
    nViewBellsGroups =
        makeAction(mViewMenu, QStringLiteral("nViewBellsGroups"), QStringLiteral("Панель групп колоколов"));
    for (QAction* a : {nViewPanel, nViewSelectBells, nViewBellsInfo, nViewBellsGroups}) {
        a->setCheckable(true);
        a->setChecked(true);
    }
    mViewMenu->addSeparator();
    nFullView = makeAction(mViewMenu, QStringLiteral("nFullView"), QStringLiteral("Полный вид"));
    nFullView->setCheckable(true);

    nReference = bar->addMenu(QStringLiteral("Справка"));
    nReference->setObjectName(QStringLiteral("nReference"));
    nHelp = makeAction(nReference, QStringLiteral("nHelp"), QStringLiteral("Помощь ..."));
    // F1, as desktop programs have it, whatever the desktop's key theme maps to help.
    nHelp->setShortcut(QKeySequence(Qt::Key_F1));
    nManual = makeAction(nReference, QStringLiteral("nManual"), QStringLiteral("Работа с программой ..."));
    nReference->addSeparator();
    nLesson1 = makeAction(nReference, QStringLiteral("nLesson1"), QStringLiteral("Урок 1  (малые колокола) ..."));
    nLesson2 = makeAction(nReference, QStringLiteral("nLesson2"), QStringLiteral("Урок 2  (cредние колокола) ..."));
    nLesson3 = makeAction(nReference, QStringLiteral("nLesson3"), QStringLiteral("Урок 3  (большие колокола) ..."));
    nLesson4 = makeAction(nReference, QStringLiteral("nLesson4"), QStringLiteral("Урок 4  (весь трезвон) ..."));
    nLesson5 = makeAction(nReference, QStringLiteral("nLesson5"), QStringLiteral("Урок 5  (свои упражнения) ..."));
    nLesson6 = makeAction(nReference, QStringLiteral("nLesson6"), QStringLiteral("Урок 6  (слух и руки) ..."));
    nReference->addSeparator();
    N1 = makeAction(nReference, QStringLiteral("N1"), QStringLiteral("Издательский центр Tolvena ..."));
    nForum = makeAction(nReference, QStringLiteral("nForum"), QStringLiteral("Форум ..."));
    nMail = makeAction(nReference, QStringLiteral("nMail"), QStringLiteral("Обратная связь ..."));
    nReference->addSeparator();
    nAbout = makeAction(nReference, QStringLiteral("nAbout"), QStringLiteral("О программе ..."));
}

QWidget* MainControls::createInfoPanel() {
    auto* holder = new QWidget;
    auto* row = new QHBoxLayout(holder);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    pnlBellInfo = makePanel(QStringLiteral("pnlBellInfo"), holder, QFrame::StyledPanel);
    {
        auto* v = new QVBoxLayout(pnlBellInfo);
        v->setContentsMargins(6, 4, 6, 4);
        v->addWidget(makeTitle(QStringLiteral("Информация о выбранном колоколе:"), pnlBellInfo));
        auto* h = new QHBoxLayout;
        imgPreview = new TImage(pnlBellInfo);
        imgPreview->setObjectName(QStringLiteral("imgPreview"));
        imgPreview->setToolTip(QStringLiteral("Проиграть звук"));
        imgPreview->setCursor(Qt::PointingHandCursor);
        imgPreview->setFixedSize(72, 72);
        imgPreview->setStretch(true);
        mBellInfo = makeMemo(QStringLiteral("mBellInfo"), pnlBellInfo);
        h->addWidget(imgPreview);
        h->addWidget(mBellInfo, 1);
        v->addLayout(h);
    }
    row->addWidget(pnlBellInfo);

    pnlBellsInfo = makePanel(QStringLiteral("pnlBellsInfo"), holder, QFrame::StyledPanel);
    {
        auto* v = new QVBoxLayout(pnlBellsInfo);
        v->setContentsMargins(6, 4, 6, 4);
        v->addWidget(makeTitle(QStringLiteral("Информация о подборе колоколов:"), pnlBellsInfo));
        mBellsInfo = makeMemo(QStringLiteral("mBellsInfo"), pnlBellsInfo);
        v->addWidget(mBellsInfo, 1);
        cbModelRow = new QComboBox(pnlBellsInfo);
        cbModelRow->setObjectName(QStringLiteral("cbModelRow"));
        cbModelRow->addItems({QStringLiteral("Модельный ряд 1"), QStringLiteral("Модельный ряд 2"),
                              QStringLiteral("Плоские колокола")});
        cbModelRow->setCurrentIndex(0);
        cbModelRow->setToolTip(QStringLiteral("Набор звуков колоколов"));
        v->addWidget(cbModelRow);
        cbStereo = new QCheckBox(QStringLiteral("Стерео"), pnlBellsInfo);
        cbStereo->setObjectName(QStringLiteral("cbStereo"));
        cbStereo->setChecked(true);
        cbStereo->hide();
    }
    row->addWidget(pnlBellsInfo);

    pnlBanner = makePanel(QStringLiteral("pnlBanner"), holder, QFrame::StyledPanel);
    pnlBanner->setFixedWidth(236);
    {
        auto* v = new QVBoxLayout(pnlBanner);
        v->setContentsMargins(2, 2, 2, 2);
        imgBanner = new TImage(pnlBanner);
        imgBanner->setObjectName(QStringLiteral("imgBanner"));
        imgBanner->setCursor(Qt::PointingHandCursor);
        imgBanner->setStretch(true);
        v->addWidget(imgBanner);
    }
    row->addWidget(pnlBanner);
    row->addStretch(1);
    holder->setFixedHeight(112);
    return holder;
}

QWidget* MainControls::createGroupsPanel(QWidget& window) {
    pnlBellsGroups = makePanel(QStringLiteral("pnlBellsGroups"), nullptr, QFrame::StyledPanel);
    pnlBellsGroups->setFixedWidth(210);
    auto* v = new QVBoxLayout(pnlBellsGroups);
    v->setContentsMargins(4, 4, 4, 4);
    v->addWidget(makeTitle(QStringLiteral("Рекомендуемые подборы:"), pnlBellsGroups));
    mDesc = makeMemo(QStringLiteral("mDesc"), pnlBellsGroups);
    mDesc->setFixedHeight(64);
    v->addWidget(mDesc);
    auto* buttons = new QHBoxLayout;
    btnGPrev = makeToolButton(QStringLiteral("btnGPrev"), QStringLiteral("Предыдущий вариант"),
                              QStyle::SP_ArrowLeft, pnlBellsGroups);
    btnGNext = makeToolButton(QStringLiteral("btnGNext"), QStringLiteral("Следующий вариант"),
                              QStyle::SP_ArrowRight, pnlBellsGroups);
    btnGPrev->setEnabled(false);
    btnGNext->setEnabled(false);
    buttons->addStretch(1);
    buttons->addWidget(btnGPrev);
    buttons->addWidget(btnGNext);
    buttons->addStretch(1);
    v->addLayout(buttons);
    tvGroups = new QTreeWidget(pnlBellsGroups);
    tvGroups->setObjectName(QStringLiteral("tvGroups"));
    tvGroups->setHeaderHidden(true);
    tvGroups->setContextMenuPolicy(Qt::CustomContextMenu);
    v->addWidget(tvGroups, 1);

    mPopup = new QMenu(&window);
    mPopup->setObjectName(QStringLiteral("mPopup"));
    nDelete = makeAction(mPopup, QStringLiteral("nDelete"), QStringLiteral("Убрать колокол"));
    nAdd = mPopup->addMenu(QStringLiteral("Добавить колокол"));
    nAdd->setObjectName(QStringLiteral("nAdd"));
    return pnlBellsGroups;
}

QWidget* MainControls::createWorkArea(QObject& layoutWatcher) {
    pnlWork = makePanel(QStringLiteral("pnlWork"), nullptr);
    auto* row = new QHBoxLayout(pnlWork);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    auto* left = new QWidget(pnlWork);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->setSpacing(0);

    pnlCommon = makePanel(QStringLiteral("pnlCommon"), left, QFrame::StyledPanel);
    pnlCommon->setFixedHeight(50);
    lblCommon = new QLabel(QStringLiteral("Список доступных звонов:"), pnlCommon);
    lblCommon->setObjectName(QStringLiteral("lblCommon"));
    lblCommon->move(6, 3);
    cbCommon = new QComboBox(pnlCommon);
    cbCommon->setObjectName(QStringLiteral("cbCommon"));
    cbCommon->addItem(kNoRingingItem);
    cbCommon->setEnabled(false);
    cbCommon->setToolTip(hints::kCommonRinging);
    cbCommon->setGeometry(4, 21, 300, 24);
    btnFullView = makeToolButton(QStringLiteral("btnFullView"), QStringLiteral("Полный вид (партитура и анимация)"),
                                 QStyle::SP_TitleBarMaxButton, pnlCommon);
    btnFullView->setGeometry(300, 21, 23, 24);
    pnlCommon->installEventFilter(&layoutWatcher);
    leftLayout->addWidget(pnlCommon);

    pnlBellsBox = makePanel(QStringLiteral("pnlBellsBox"), left, QFrame::StyledPanel);
    pnlBellsBox->installEventFilter(&layoutWatcher);
    struct Band {
        QFrame** band;
        QCheckBox** check;
        QFrame** staff;
        QLabel** face;
        const char* bandName;
        const char* checkName;
        const char* caption;
        const char* staffName;
        const char* faceName;
        const char* hint;
    };
    const Band bands[] = {
        {&pnlSmall, &cbSmall, &pnlSmallBells, &pnlSmallFace, "pnlSmall", "cbSmall", "Малые колокола",
         "pnlSmallBells", "pnlSmallFace",
         "Включить или выключить звук малых колоколов"},
        {&pnlMiddle, &cbMiddle, &pnlMiddleBells, &pnlMiddleFace, "pnlMiddle", "cbMiddle", "Средние колокола",
         "pnlMiddleBells", "pnlMiddleFace", "Включить или выключить звук средних колоколов"},
        {&pnlBig, &cbBig, &pnlBigBells, &pnlBigFace, "pnlBig", "cbBig", "Большие колокола", "pnlBigBells",
         "pnlBigFace", "Включить или выключить звук больших колоколов"},
    };
    for (const Band& b : bands) {
        QFrame* band = makePanel(QString::fromLatin1(b.bandName), pnlBellsBox, QFrame::StyledPanel);
        auto* v = new QVBoxLayout(band);
        v->setContentsMargins(2, 1, 2, 2);
        v->setSpacing(1);
        auto* check = new QCheckBox(QString::fromUtf8(b.caption), band);
        check->setObjectName(QString::fromLatin1(b.checkName));
        check->setChecked(true);
        check->setToolTip(QString::fromUtf8(b.hint));
        v->addWidget(check);
        QFrame* staff = makePanel(QString::fromLatin1(b.staffName), band, QFrame::StyledPanel);
        staff->setFrameShadow(QFrame::Sunken);
        staff->setAutoFillBackground(true);
        v->addWidget(staff, 1);
        auto* face = new QLabel(QStringLiteral("Партитура отключена"), staff);
        face->setObjectName(QString::fromLatin1(b.faceName));
        face->setAlignment(Qt::AlignCenter);
        face->setAutoFillBackground(true);
        face->hide();
        staff->installEventFilter(&layoutWatcher);
        *b.band = band;
        *b.check = check;
        *b.staff = staff;
        *b.face = face;
    }
    leftLayout->addWidget(pnlBellsBox, 1);
    row->addWidget(left, 1);

    pnlCustomSelections = makePanel(QStringLiteral("pnlCustomSelections"), pnlWork, QFrame::StyledPanel);
    pnlCustomSelections->setFixedWidth(162);
    row->addWidget(pnlCustomSelections);
    return pnlWork;
}

QWidget* MainControls::createToolsPanel() {
    auto* tools = makePanel(QStringLiteral("pnlTools"), nullptr, QFrame::StyledPanel);
    auto* v = new QVBoxLayout(tools);
    v->setContentsMargins(4, 2, 4, 2);
    v->setSpacing(2);

    auto* row1 = new QHBoxLayout;
    btnSelectAll = makeToolButton(QStringLiteral("btnSelectAll"), QStringLiteral("Выделить все"),
                                  QStyle::SP_DialogApplyButton, tools);
    btnDisselectAll = makeToolButton(QStringLiteral("btnDisselectAll"), QStringLiteral("Снять выделение"),
                                     QStyle::SP_DialogResetButton, tools);
    btnPlay = makeToolButton(QStringLiteral("btnPlay"), QStringLiteral("Проиграть"), QStyle::SP_MediaPlay, tools);
    btnPause =
        makeToolButton(QStringLiteral("btnPause"), QStringLiteral("Приостановить"), QStyle::SP_MediaPause, tools);
    btnStop = makeToolButton(QStringLiteral("btnStop"), QStringLiteral("Остановить"), QStyle::SP_MediaStop, tools);
    btnRew = makeToolButton(QStringLiteral("btnRew"), QStringLiteral("Перемотать назад"),
                            QStyle::SP_MediaSeekBackward, tools);
    btnFF = makeToolButton(QStringLiteral("btnFF"), QStringLiteral("Перемотать вперед"),
                           QStyle::SP_MediaSeekForward, tools);
    btnGenerator = makeToolButton(QStringLiteral("btnGenerator"), QStringLiteral("В случайном порядке"),
                                  QStyle::SP_BrowserReload, tools);
    btnRecord =
        makeToolButton(QStringLiteral("btnRecord"), QStringLiteral("Запись"), QStyle::SP_DialogNoButton, tools);
    row1->addWidget(btnSelectAll);
    row1->addWidget(btnDisselectAll);
    row1->addSpacing(8);
    for (QToolButton* b : {btnPlay, btnPause, btnStop, btnRew, btnFF, btnGenerator, btnRecord}) {
        row1->addWidget(b);
    }
    row1->addSpacing(8);
    tbProgress = new QSlider(Qt::Horizontal, tools);
    tbProgress->setObjectName(QStringLiteral("tbProgress"));
    tbProgress->setRange(0, 0);
    tbProgress->setValue(0);
    row1->addWidget(tbProgress, 1);
    edPage = new QLineEdit(QStringLiteral("1"), tools);
    edPage->setObjectName(QStringLiteral("edPage"));
    edPage->setReadOnly(true);
    edPage->setFixedWidth(34);
    edPage->setAlignment(Qt::AlignCenter);
    edPage->setEnabled(false);
    edPage->setToolTip(QStringLiteral("Страница партитуры"));
    udPage = new TUpDown(tools);
    udPage->setObjectName(QStringLiteral("udPage"));
    udPage->setMin(1);
    udPage->setPosition(1);
    udPage->setEnabled(false);
    udPage->setToolTip(QStringLiteral("Листать страницы партитуры"));
    row1->addWidget(edPage);
    row1->addWidget(udPage);
    lblPlayTime = new QLabel(QStringLiteral("0:00:00"), tools);
    lblPlayTime->setObjectName(QStringLiteral("lblPlayTime"));
    lblPlayTime->setToolTip(QStringLiteral("Сколько звучит звон"));
    row1->addSpacing(6);
    row1->addWidget(lblPlayTime);
    v->addLayout(row1);

    auto* row2 = new QHBoxLayout;
    cbShowNotes = new QCheckBox(QStringLiteral("Партитура"), tools);
    cbShowNotes->setObjectName(QStringLiteral("cbShowNotes"));
    cbShowNotes->setChecked(true);
    cbShowNotes->setToolTip(QStringLiteral("Показать или скрыть партитуру"));
    cbGrid = new QCheckBox(QStringLiteral("Упрощенный вид"), tools);
    cbGrid->setObjectName(QStringLiteral("cbGrid"));
    cbGrid->setToolTip(QStringLiteral("Только линии выбранных колоколов на нотных станах"));
    cbShowMovie = new QCheckBox(QStringLiteral("Анимация"), tools);
    cbShowMovie->setObjectName(QStringLiteral("cbShowMovie"));
    cbShowMovie->setChecked(true);
    cbShowMovie->setToolTip(QStringLiteral("Показать или скрыть анимацию колоколов"));
    cbView = new QComboBox(tools);
    cbView->setObjectName(QStringLiteral("cbView"));
    cbView->addItems({QStringLiteral("Общий вид"), QStringLiteral("Схематичный вид")});
    cbView->setToolTip(hints::kAnimationStyle);
    lblLong = new QLabel(QStringLiteral("Общая длительность: 0:00:00"), tools);
    lblLong->setObjectName(QStringLiteral("lblLong"));
    btnTemp = new QPushButton(QStringLiteral("Темп: 0"), tools);
    btnTemp->setObjectName(QStringLiteral("btnTemp"));
    btnTemp->setToolTip(QStringLiteral("Темп"));
    btnTemp->setFlat(true);
    btnVolume = new QPushButton(QStringLiteral("Громкость: 0"), tools);
    btnVolume->setObjectName(QStringLiteral("btnVolume"));
    btnVolume->setToolTip(QStringLiteral("Громкость"));
    btnVolume->setFlat(true);
    row2->addWidget(cbShowNotes);
    row2->addWidget(cbGrid);
    row2->addWidget(cbShowMovie);
    row2->addWidget(cbView);
    row2->addStretch(1);
    row2->addWidget(lblLong);
    row2->addSpacing(12);
    row2->addWidget(btnTemp);
    row2->addWidget(btnVolume);
    v->addLayout(row2);
    return tools;
}

QWidget* MainControls::createPopupPanel(const QString& name, QSlider*& slider, QToolButton*& up,
                                        QToolButton*& down) {
    auto* panel = makePanel(name, nullptr, QFrame::StyledPanel);
    panel->setAutoFillBackground(true);
    panel->setFixedSize(44, 170);
    auto* v = new QVBoxLayout(panel);
    v->setContentsMargins(2, 2, 2, 2);
    const bool tempo = name == QLatin1String("pnlTemp");
    up = new QToolButton(panel);
    up->setObjectName(tempo ? QStringLiteral("btnTempUp") : QStringLiteral("btnVolumeUp"));
    up->setArrowType(Qt::UpArrow);
    up->setAutoRepeat(true);
    slider = new QSlider(Qt::Vertical, panel);
    slider->setInvertedAppearance(true);
    slider->setObjectName(tempo ? QStringLiteral("tbTemp") : QStringLiteral("tbVolume"));
    down = new QToolButton(panel);
    down->setObjectName(tempo ? QStringLiteral("btnTempDown") : QStringLiteral("btnVolumeDown"));
    down->setArrowType(Qt::DownArrow);
    down->setAutoRepeat(true);
    v->addWidget(up, 0, Qt::AlignHCenter);
    v->addWidget(slider, 1, Qt::AlignHCenter);
    v->addWidget(down, 0, Qt::AlignHCenter);
    return panel;
}

// Panel visibility ("Вид" menu), the layout of the main window on every
// resize, and the placement of the tempo and volume pop-ups.

#include "animation/FullView.h"
#include "app/TfrmMain.h"
#include "base/Rounding.h"
#include "bells/BellsPanel.h"
#include "playback/TransportPanel.h"
#include "ringing/RingingChoices.h"
#include "score/ScoreView.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QResizeEvent>
#include <QSlider>
#include <QToolButton>

#include <cmath>

void TfrmMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    guarded([this] { FormResize(); });
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) {
        if (watched == pnlMainArea) {
            guarded([this] { placeOverlayPanels(); });
        } else if (watched == pnlInfo) {
            // The information panels take their widths from pnlInfo's, which
            // is final only once the window's layouts have run.
            guarded([this] { FormResize(); });
        } else if (watched == pnlBellsBox) {
            guarded([this] { layoutGroupBands(); });
        } else if (watched == pnlCommon) {
            guarded([this] { layoutGroupSelectorsAndCommon(); });
        } else if (watched == pnlSmallBells || watched == pnlMiddleBells || watched == pnlBigBells) {
            auto* staff = static_cast<QWidget*>(watched);
            for (QLabel* face : {pnlSmallFace, pnlMiddleFace, pnlBigFace}) {
                if (face->parentWidget() == staff) {
                    face->setGeometry(staff->contentsRect());
                }
            }
            if (m_scoreView) {
                guarded([this] {
                    m_scoreView->FitScoreImages();
                    LayoutScoreCursors();
                });
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfrmMain::placeOverlayPanels() {
    const QRect area = pnlMainArea->rect();
    pnlUsualView->setGeometry(area);
    if (m_fullView) {
        m_fullView->panel()->setGeometry(area);
    }
}

void TfrmMain::FormResize() {
    // 1
    m_bellsPanel->layoutBellStrip();
    // 2
    pnlBellInfo->setFixedWidth(roundHalfEven(pnlInfo->contentsRect().width() / 2.0));
    // 3: group bands, with the score redrawn.
    layoutGroupBands();
    // 4: group ringing selectors, cbCommon and the full-view button.
    layoutGroupSelectorsAndCommon();
    // 5: animation pictures (with the group bands, step 3).
    // 6
    if (cbShowNotes->isChecked()) {
        RedrawScore();
    }
    // 7
    const int half = (pnlInfo->width() - pnlBanner->width()) / 2;
    pnlBellInfo->setFixedWidth(std::max(0, half));
    pnlBellsInfo->setFixedWidth(std::max(0, half));
    // 8
    LayoutScoreCursors();
    // 9
    cbModelRow->setFixedWidth(std::max(40, pnlBellsInfo->width() - 14));
}

void TfrmMain::layoutGroupBands() {
    const QRect box = pnlBellsBox->contentsRect();
    const int h = box.height();
    const int small = static_cast<int>(std::floor(h / 3.0));
    const int middle = static_cast<int>(std::ceil(h / 3.0));
    const int big = static_cast<int>(std::floor(h / 3.0));
    pnlSmall->setGeometry(box.left(), box.top(), box.width(), small);
    pnlMiddle->setGeometry(box.left(), box.top() + small, box.width(), middle);
    pnlBig->setGeometry(box.left(), box.top() + small + middle, box.width(), big);
    if (cbShowNotes->isChecked()) {
        RedrawScore();
    }
    m_ringingChoices->layoutGroupSelectors();
    // The animation pictures sit beside their bands, below the selectors.
    LayoutBellImages();
}

void TfrmMain::layoutGroupSelectorsAndCommon() {
    const int commonWidth = pnlCommon->contentsRect().width();
    cbCommon->setFixedWidth(std::max(40, pnlCommon->width() - 36));
    btnFullView->move(commonWidth - 27, btnFullView->y());
    m_ringingChoices->layoutGroupSelectors();
}

void TfrmMain::applyPanels() {
    // 1-4
    pnlTools->setVisible(m_view.tools);
    nViewPanel->setChecked(m_view.tools);
    if (!m_view.tools) {
        pnlVolume->hide();
        pnlTemp->hide();
    }
    pnlBells->setVisible(m_view.bells);
    nViewSelectBells->setChecked(m_view.bells);
    pnlBellsGroups->setVisible(m_view.groups);
    nViewBellsGroups->setChecked(m_view.groups);
    pnlInfo->setVisible(m_view.info);
    nViewBellsInfo->setChecked(m_view.info);
    // 5: bell strip, group panels, selectors, animation pictures, cursors.
    m_bellsPanel->layoutBellStrip();
    layoutGroupBands();
    layoutGroupSelectorsAndCommon();
    LayoutScoreCursors();
}

void TfrmMain::nViewPanelClick() {
    m_view.tools = nViewPanel->isChecked();
    applyPanels();
}

void TfrmMain::nViewSelectBellsClick() {
    m_view.bells = nViewSelectBells->isChecked();
    applyPanels();
}

void TfrmMain::nViewBellsInfoClick() {
    m_view.info = nViewBellsInfo->isChecked();
    applyPanels();
}

void TfrmMain::nViewBellsGroupsClick() {
    m_view.groups = nViewBellsGroups->isChecked();
    applyPanels();
    pnlBellInfo->setFixedWidth(roundHalfEven(pnlInfo->contentsRect().width() / 2.0));
}

void TfrmMain::placePopupAboveTools(QWidget* popup) {
    popup->raise();
    const QPoint toolsTop = pnlTools->mapTo(centralWidget(), QPoint(0, 0));
    const QPoint anchor = (popup == pnlVolume ? btnVolume : btnTemp)->mapTo(centralWidget(), QPoint(0, 0));
    int left = anchor.x();
    left = std::min(left, centralWidget()->width() - popup->width());
    popup->move(std::max(0, left), toolsTop.y() - popup->height());
    popup->setVisible(!popup->isVisible());
}

void TfrmMain::btnTempClick() {
    placePopupAboveTools(pnlTemp);
}

void TfrmMain::btnVolumeClick() {
    placePopupAboveTools(pnlVolume);
    m_transportPanel->showVolumeLevel();
}

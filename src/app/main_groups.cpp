// Handlers of the groups panel (distributions, groups tree, its popup menu),
// forwarded to GroupsPanel.

#include "app/TfrmMain.h"
#include "bells/GroupsPanel.h"

void TfrmMain::btnGPrevClick() {
    m_groupsPanel->btnGPrevClick();
}

void TfrmMain::btnGNextClick() {
    m_groupsPanel->btnGNextClick();
}

void TfrmMain::mPopupPopup() {
    m_groupsPanel->mPopupPopup();
}

void TfrmMain::nDeleteClick() {
    m_groupsPanel->nDeleteClick();
}

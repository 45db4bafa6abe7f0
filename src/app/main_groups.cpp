// Handlers of the groups panel (distributions, groups tree, its popup menu),
// forwarded to GroupsPanel.

#include "app/TfrmMain.h"
#include "bells/GroupsPanel.h"

int TfrmMain::distributionVariant() const {
    return m_groupsPanel->variant();
}

void TfrmMain::RecomputeGroups() {
    m_groupsPanel->RecomputeGroups();
}

void TfrmMain::btnGPrevClick() {
    m_groupsPanel->btnGPrevClick();
}

void TfrmMain::btnGNextClick() {
    m_groupsPanel->btnGNextClick();
}

void TfrmMain::tvGroupsMouseDown(const QPoint& pos) {
    m_groupsPanel->tvGroupsMouseDown(pos);
}

bool TfrmMain::tvGroupsDragOver(QObject* source, const QPoint& pos) {
    return m_groupsPanel->tvGroupsDragOver(source, pos);
}

void TfrmMain::tvGroupsDragDrop(QObject* source, const QPoint& pos) {
    m_groupsPanel->tvGroupsDragDrop(source, pos);
}

QAction* TfrmMain::addBellItem(int bell) const {
    return m_groupsPanel->addBellItem(bell);
}

void TfrmMain::mPopupPopup() {
    m_groupsPanel->mPopupPopup();
}

void TfrmMain::nDeleteClick() {
    m_groupsPanel->nDeleteClick();
}

void TfrmMain::nAddBellClick(int bell) {
    m_groupsPanel->nAddBellClick(bell);
}

#include "app/MainGroupsHost.h"

#include "app/TfrmMain.h"
#include "bells/BellsPanel.h"
#include "playback/TransportPanel.h"
#include "ringing/RingingChoices.h"

Ensemble& MainGroupsHost::ensemble() {
    return m_window.m_bellsPanel->ensemble();
}

QString MainGroupsHost::bellDisplayName(int bell) const {
    return m_window.bells().bellDisplayName(bell);
}

int MainGroupsHost::findBellByName(const QString& name) const {
    return m_window.m_bellsPanel->findBellByName(name);
}

void MainGroupsHost::handStrike(int bell) {
    m_window.HandStrike(bell);
}

void MainGroupsHost::toggleBell(int bell) {
    m_window.bells().ToggleBell(bell);
}

void MainGroupsHost::showBellPicture(int bell) {
    m_window.m_bellsPanel->loadBellPicture(bell);
}

void MainGroupsHost::showBellCount() {
    m_window.m_bellsPanel->ShowBellCount();
}

void MainGroupsHost::groupsChanged() {
    // Every change of the groups refills the ringing choices and resets playback.
    m_window.m_ringingChoices->FillCommonChoice();
    m_window.m_ringingChoices->FillGroupChoices();
    m_window.m_transportPanel->ResetPlayback();
}

void MainGroupsHost::resetPlayback() {
    m_window.m_transportPanel->ResetPlayback();
}

bool MainGroupsHost::mayReplaceRinging() {
    return m_window.mayReplaceRinging();
}

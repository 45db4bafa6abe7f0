#include "app/MainBellsHost.h"

#include "app/TfrmMain.h"
#include "bells/GroupsPanel.h"

PathTable& MainBellsHost::paths() {
    return *m_window.m_paths;
}

ProfileFile& MainBellsHost::settingsFile() {
    return *m_window.m_settingsFile;
}

RequiredFileCheck& MainBellsHost::requiredFiles() {
    return m_window.m_required;
}

void MainBellsHost::preloadSampleFolder() {
    m_window.preloadSampleFolder();
}

void MainBellsHost::handStrike(int bell, float gain) {
    m_window.HandStrike(bell, gain);
}

void MainBellsHost::resetGroupsVariant() {
    m_window.m_groupsPanel->resetVariant();
}

void MainBellsHost::recomputeGroups() {
    m_window.groups().RecomputeGroups();
}

void MainBellsHost::showEnsembleGroups() {
    m_window.m_groupsPanel->showEnsembleGroups();
}

bool MainBellsHost::mayReplaceRinging() {
    return m_window.mayReplaceRinging();
}

#include "app/MainRingingChoicesHost.h"

#include "animation/FullView.h"
#include "app/TfrmMain.h"
#include "playback/TransportPanel.h"
#include "ringing/RingingLoader.h"

#include <QCheckBox>

const Ensemble& MainRingingChoicesHost::ensemble() const {
    return m_window.ensemble();
}

TSoundData* MainRingingChoicesHost::catalogue() {
    return m_window.m_soundData.get();
}

TChannels& MainRingingChoicesHost::channels() {
    return *m_window.m_channels;
}

const TChannels& MainRingingChoicesHost::channels() const {
    return *m_window.m_channels;
}

QString MainRingingChoicesHost::campanelDir() const {
    return m_window.m_paths ? m_window.m_paths->campanelDir() : QString();
}

bool MainRingingChoicesHost::loadRinging(int index, const QString& path) {
    return m_window.loader().LoadRinging(index, path);
}

void MainRingingChoicesHost::showRingingName(const QString& name) {
    m_window.setCaptionForRinging(name);
}

void MainRingingChoicesHost::showNoRinging() {
    m_window.showNoRinging();
}

void MainRingingChoicesHost::endRecording() {
    m_window.EndRecording();
}

void MainRingingChoicesHost::resetPlayback() {
    m_window.m_transportPanel->ResetPlayback();
}

void MainRingingChoicesHost::applyRingingRanges(Ranges ranges) {
    m_window.m_transportPanel->applyRingingRanges(ranges == Ranges::GroupChoice
                                                      ? transport::RingingLoader::GroupChoice
                                                      : transport::RingingLoader::CommonChoice);
}

void MainRingingChoicesHost::restorePlayPlace(int column) {
    m_window.m_transportPanel->restorePlayPlace(column);
}

int MainRingingChoicesHost::currentColumn() const {
    return m_window.m_transportPanel->state().currentColumn;
}

void MainRingingChoicesHost::setCurrentPage(int page) {
    m_window.m_transportPanel->state().currentPage = page;
}

bool MainRingingChoicesHost::groupRingingMode() const {
    return m_window.m_transportPanel->state().groupRingingMode;
}

void MainRingingChoicesHost::setGroupRingingMode(bool on) {
    m_window.m_transportPanel->state().groupRingingMode = on;
}

void MainRingingChoicesHost::keepGeneratorOnNextReset() {
    m_window.m_transportPanel->state().keepGenerator = true;
}

void MainRingingChoicesHost::uncheckPlayInTurn() {
    m_window.m_ringingLoader->uncheckPlayInTurn();
}

bool MainRingingChoicesHost::notesShown() const {
    return m_window.cbShowNotes->isChecked();
}

void MainRingingChoicesHost::redrawScore() {
    m_window.RedrawScore();
}

void MainRingingChoicesHost::followCommonChoice(int index) {
    if (m_window.m_fullView) {
        m_window.m_fullView->followCommonChoice(index);
    }
}

bool MainRingingChoicesHost::mayReplaceRinging() {
    return m_window.mayReplaceRinging();
}

#include "app/MainRingingLoaderHost.h"

#include "animation/BellAnimation.h"
#include "app/TfrmMain.h"
#include "base/WindowCaptions.h"
#include "bells/BellsPanel.h"
#include "playback/TransportPanel.h"
#include "record/ScoreEditor.h"
#include "ringing/RingingChoices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QStatusBar>

int MainRingingLoaderHost::sequencerInterval() const {
    return m_window.m_transportPanel->sequencerInterval();
}

void MainRingingLoaderHost::setSequencerInterval(int milliseconds) {
    m_window.m_transportPanel->setSequencerInterval(milliseconds);
}

void MainRingingLoaderHost::animationRingingLoaded() {
    // Every load passes here: a ringing being edited gives way, and the
    // ringing is no longer the file opened last.
    m_window.m_ringingFile.clear();
    if (m_window.m_editor) {
        m_window.m_editor->workingSetReplaced();
    }
    if (m_window.m_bellAnimation) {
        m_window.m_bellAnimation->ringingLoaded();
    }
}

void MainRingingLoaderHost::showTempo() {
    m_window.m_transportPanel->ShowTempo();
}

void MainRingingLoaderHost::showTotalDuration() {
    m_window.m_transportPanel->ShowTotalDuration();
}

void MainRingingLoaderHost::deselectAllBells() {
    m_window.nDisselectAllClick();
}

void MainRingingLoaderHost::applyEnsembleText(const QString& bells, const QString& types) {
    m_window.m_bellsPanel->applyEnsembleText(bells, types);
}

ProfileFile& MainRingingLoaderHost::settingsFile() {
    return *m_window.m_settingsFile;
}

void MainRingingLoaderHost::applyWholeRingingRanges() {
    m_window.m_transportPanel->applyRingingRanges(transport::RingingLoader::Chooser);
}

bool MainRingingLoaderHost::notesShown() const {
    return m_window.cbShowNotes->isChecked();
}

void MainRingingLoaderHost::redrawScore() {
    m_window.RedrawScore();
}

void MainRingingLoaderHost::showStatusMessage(const QString& text, int timeoutMs) {
    m_window.statusBar()->showMessage(text, timeoutMs);
}

void MainRingingLoaderHost::play() {
    m_window.btnPlayClick();
}

void MainRingingLoaderHost::resetPlayback() {
    m_window.m_transportPanel->ResetPlayback();
}

void MainRingingLoaderHost::showRingingName(const QString& name) {
    m_window.setCaptionForRinging(name);
}

void MainRingingLoaderHost::showChooserOpen() {
    m_window.m_ringingName.clear();
    m_window.setWindowTitle(captions::kChooserOpen);
}

void MainRingingLoaderHost::clearChoices() {
    m_window.m_ringingChoices->ClearChoices();
}

void MainRingingLoaderHost::chooseOfferedRinging(const QString& name) {
    // Item 0 is "Выбор звона", never a ringing's name.
    const int offered = m_window.cbCommon->findText(name);
    if (offered > 0) {
        m_window.cbCommon->setCurrentIndex(offered);
    }
}

QString MainRingingLoaderHost::customDir() const {
    return m_window.m_paths ? m_window.m_paths->customDir() : QString();
}

QWidget* MainRingingLoaderHost::dialogParent() {
    return &m_window;
}

#include "app/MainAnimationHost.h"

#include "animation/FullView.h"
#include "app/TfrmMain.h"
#include "playback/TransportPanel.h"
#include "playback/TransportState.h"
#include "ringing/RingingChoices.h"

const Ensemble& MainAnimationHost::ensemble() const {
    return m_window.ensemble();
}

bool MainAnimationHost::isGroupAnimated(BellGroup group) const {
    return m_window.choices().isGroupAnimated(groupIndex(group));
}

bool MainAnimationHost::isAnimationOn() const {
    return m_window.cbShowMovie->isChecked();
}

QString MainAnimationHost::animateDir() const {
    return m_window.paths().animateDir();
}

QString MainAnimationHost::bigAnimateDir() const {
    return m_window.paths().bigAnimateDir();
}

QWidget* MainAnimationHost::usualPicturesPanel() const {
    return m_window.pnlCustomSelections;
}

QWidget* MainAnimationHost::groupBand(BellGroup group) const {
    QWidget* const bands[] = {m_window.pnlSmall, m_window.pnlMiddle, m_window.pnlBig};
    return bands[groupIndex(group)];
}

QComboBox* MainAnimationHost::groupSelector(BellGroup group) const {
    return m_window.choices().groupSelector(groupIndex(group));
}

QComboBox* MainAnimationHost::commonSelector() const {
    return m_window.cbCommon;
}

int MainAnimationHost::usualStyle() const {
    return m_window.cbView->currentIndex();
}

void MainAnimationHost::setUsualStyle(int style) {
    m_window.cbView->setCurrentIndex(style);
}

void MainAnimationHost::enableStyleSelectors(bool enabled) {
    m_window.cbView->setEnabled(enabled);
    if (m_window.m_fullView) {
        m_window.m_fullView->styleSelector()->setEnabled(enabled);
    }
}

void MainAnimationHost::stopResetTimer() {
    m_window.mmResetTimer->stop();
}

void MainAnimationHost::prepareFullView() {
    // The tool bar as if chosen in the view menu.
    m_window.nViewPanel->setChecked(true);
    m_window.nViewPanelClick();
    m_window.pnlBells->hide();
}

void MainAnimationHost::showUsualView() {
    m_window.pnlBells->setVisible(m_window.nViewSelectBells->isChecked());
    m_window.pnlUsualView->raise();
}

void MainAnimationHost::setFullViewChecked(bool checked) {
    m_window.nFullView->setChecked(checked);
}

int MainAnimationHost::currentPage() const {
    return m_window.transport().state().currentPage;
}

int MainAnimationHost::currentColumn() const {
    return m_window.transport().state().currentColumn;
}

QStringList MainAnimationHost::groupScore(BellGroup group) const {
    return m_window.channels().score(groupIndex(group));
}

void MainAnimationHost::redrawScore() {
    m_window.RedrawScore();
}

void MainAnimationHost::groupRingingChosen(BellGroup group) {
    m_window.cbCustomSelectionChange(groupIndex(group));
}

void MainAnimationHost::commonRingingChosen() {
    m_window.cbCommonChange();
}

void MainAnimationHost::PlaceScoreCursor() {
    m_window.PlaceScoreCursor();
}

void MainAnimationHost::ShowStrikeFrame(int bell) {
    m_window.ShowStrikeFrame(bell);
}

void MainAnimationHost::ResetBellImages() {
    m_window.ResetBellImages();
}

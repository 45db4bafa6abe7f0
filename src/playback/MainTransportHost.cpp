#include "playback/MainTransportHost.h"

#include "app/TfrmMain.h"

#include <QSignalBlocker>

int MainTransportHost::commonScoreSize() const {
    return m_window.commonScoreSize();
}

void MainTransportHost::clearScores() {}

void MainTransportHost::strikeColumn(int column, std::int64_t) {
    m_window.StrikeColumn(column);
}

void MainTransportHost::sweepFinishedVoices() {
    m_window.CloseFinishedVoices();
}

bool MainTransportHost::notesShown() const {
    return m_window.cbShowNotes->isChecked();
}

void MainTransportHost::redrawScore() {
    m_window.RedrawScore();
}

void MainTransportHost::placeScoreCursor() {
    m_window.PlaceScoreCursor();
}

void MainTransportHost::resetScoreView() {
    // The score subsystem clears its pictures and draws the empty staves.
    m_window.PlaceScoreCursor();
}

void MainTransportHost::resetAnimation() {
    if (m_window.cbShowMovie->isChecked()) {
        m_window.ResetBellImages();
    }
}

bool MainTransportHost::playAllInTurn() const {
    return false;
}

void MainTransportHost::uncheckPlayAllInTurn() {}

void MainTransportHost::selectNextInTurn() {}

void MainTransportHost::playNextInTurn() {
    m_window.PlayNextInTurn();
}

void MainTransportHost::generateNext() {
    m_window.GenerateNext();
}

int MainTransportHost::sliderPosition() const {
    return m_window.tbProgress->value();
}

void MainTransportHost::setSliderPosition(int position, bool notify) {
    // A notified change reaches the sequencer through the slider's own signal.
    if (notify) {
        m_window.tbProgress->setValue(position);
        return;
    }
    const QSignalBlocker quiet(m_window.tbProgress);
    m_window.tbProgress->setValue(position);
}

void MainTransportHost::setSliderMaximum(int maximum) {
    const QSignalBlocker quiet(m_window.tbProgress);
    m_window.tbProgress->setMaximum(maximum);
}

void MainTransportHost::setSliderEnabled(bool enabled) {
    m_window.tbProgress->setEnabled(enabled);
}

void MainTransportHost::setPagePosition(int position) {
    m_window.udPage->setPosition(position);
    m_window.edPage->setText(QString::number(m_window.udPage->position()));
}

void MainTransportHost::setPageMaximum(int maximum) {
    m_window.udPage->setMax(maximum);
    m_window.edPage->setText(QString::number(m_window.udPage->position()));
}

void MainTransportHost::setPageEnabled(bool enabled) {
    m_window.udPage->setEnabled(enabled);
    m_window.edPage->setEnabled(enabled);
}

void MainTransportHost::showPlayTime(const QString& text) {
    m_window.lblPlayTime->setText(text);
}

void MainTransportHost::showTotalDuration(const QString& text) {
    m_window.tbProgress->setToolTip(text);
    m_window.lblLong->setText(text);
}

void MainTransportHost::showTempoCaption(const QString& text) {
    m_window.btnTemp->setText(text);
}

int MainTransportHost::tempoSliderPosition() const {
    return m_window.tbTemp->value();
}

void MainTransportHost::setTempoSliderPosition(int position, bool notify) {
    if (notify) {
        m_window.tbTemp->setValue(position);
        return;
    }
    const QSignalBlocker quiet(m_window.tbTemp);
    m_window.tbTemp->setValue(position);
}

void MainTransportHost::scheduleTick(int milliseconds) {
    m_window.mmTimer->start(milliseconds);
}

void MainTransportHost::cancelTick() {
    m_window.mmTimer->stop();
}

int MainTransportHost::selectedBellCount() const {
    return m_window.ensemble().selectedCount();
}

int MainTransportHost::groupItemCount(int) const {
    return 0;
}

int MainTransportHost::groupItemIndex(int) const {
    return 0;
}

void MainTransportHost::chooseGroupRinging(int, int) {}

bool MainTransportHost::sequencerRunning() const {
    return m_window.isPlaying();
}

void MainTransportHost::play() {
    m_window.btnPlayClick();
}

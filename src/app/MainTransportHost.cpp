#include "app/MainTransportHost.h"

#include "app/TfrmMain.h"
#include "ringing/TfrmSelSound.h"
#include "animation/AnimationWorkers.h"
#include "score/ScoreView.h"

#include <QComboBox>
#include <QSignalBlocker>

int MainTransportHost::commonScoreSize() const {
    return m_window.commonScoreSize();
}

void MainTransportHost::clearScores() {
    m_window.channels().clearScores();
}

void MainTransportHost::strikeColumn(int column, std::int64_t idealFrame) {
    m_window.StrikeColumn(column, idealFrame);
}

void MainTransportHost::sweepFinishedVoices() {
    // A release worker hands the sweep back to the main thread.
    m_window.startReleaseStream();
}

bool MainTransportHost::notesShown() const {
    return m_window.cbShowNotes->isChecked();
}

void MainTransportHost::redrawScore() {
    m_window.RedrawScore();
}

void MainTransportHost::placeScoreCursor() {
    // Through the scroll worker, whose operation moves the cursor.
    if (AnimationWorkers* workers = m_window.animationWorkers()) {
        workers->placeScoreCursor();
    } else {
        m_window.PlaceScoreCursor();
    }
}

void MainTransportHost::resetScoreView() {
    if (ScoreView* view = m_window.scoreView()) {
        view->ResetScoreView();
    } else {
        m_window.PlaceScoreCursor();
    }
}

void MainTransportHost::resetAnimation() {
    m_window.channels().setAllGroupsAnimated();
    if (m_window.cbShowMovie->isChecked()) {
        m_window.ResetBellImages();
    }
}

bool MainTransportHost::playAllInTurn() const {
    return m_window.isPlayInTurnChecked();
}

void MainTransportHost::uncheckPlayAllInTurn() {
    m_window.uncheckPlayInTurn();
}

void MainTransportHost::selectNextInTurn() {
    m_window.selSound()->selectNext();
}

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

int MainTransportHost::groupItemCount(int group) const {
    const QComboBox* selector = m_window.groupSelector(group);
    return selector ? selector->count() : 0;
}

int MainTransportHost::groupItemIndex(int group) const {
    const QComboBox* selector = m_window.groupSelector(group);
    return selector ? selector->currentIndex() : 0;
}

void MainTransportHost::chooseGroupRinging(int group, int index) {
    QComboBox* selector = m_window.groupSelector(group);
    if (!selector) {
        return;
    }
    // Setting the index runs no handler (the selectors answer the user's
    // choice only); the choice rule runs once, below.
    selector->setCurrentIndex(index);
    QComboBox* mirrors[] = {m_window.cbCustomBells1, m_window.cbCustomBells2, m_window.cbCustomBells3};
    if (QComboBox* mirror = mirrors[group]; mirror && index < mirror->count()) {
        mirror->setCurrentIndex(index);
    }
    m_window.cbCustomSelectionChange(group);
}

bool MainTransportHost::sequencerRunning() const {
    return m_window.isPlaying();
}

void MainTransportHost::play() {
    m_window.btnPlayClick();
}

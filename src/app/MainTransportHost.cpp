#include "app/MainTransportHost.h"

#include "animation/AnimationWorkers.h"
#include "animation/FullView.h"
#include "app/TfrmMain.h"
#include "bells/BellsPanel.h"
#include "bells/Ensemble.h"
#include "output/OutputController.h"
#include "playback/ColumnStrikes.h"
#include "playback/SoundOutput.h"
#include "record/ScoreEditor.h"
#include "ringing/RingingChoices.h"
#include "ringing/RingingLoader.h"
#include "ringing/TfrmSelSound.h"
#include "score/ScoreView.h"

#include <QComboBox>

SoundOutput* MainTransportHost::soundOutput() {
    return m_window.m_sound.get();
}

bool MainTransportHost::exportMode() const {
    return OutputController::isExportMode(m_window.m_arguments);
}

void MainTransportHost::exportHtml() {
    m_window.output()->exportHtml(m_window.m_arguments);
}

int MainTransportHost::commonScoreSize() const {
    return m_window.commonScoreSize();
}

void MainTransportHost::clearScores() {
    if (m_window.m_editor) {
        m_window.m_editor->workingSetReplaced();
    }
    m_window.channels().clearScores();
}

void MainTransportHost::soundColumn(int column, std::int64_t idealFrame) {
    if (!m_window.m_sound || m_window.commonScoreSize() == 0 || !m_window.m_paths) {
        return;
    }
    m_window.preloadSampleFolder();
    const ColumnStrikes strikes =
        ::ColumnSampleFiles(m_window.commonScoreLine(column), m_window.ensemble(), m_window.strikeSwitches(),
                            m_window.m_paths->sampleFolder(),
                            [this](int bell) { return m_window.bells().bellSampleFileName(bell); });
    m_window.m_sound->voices().strikeColumn(strikes.sampleFiles, idealFrame);
}

void MainTransportHost::strikeColumn(int column, std::int64_t idealFrame) {
    m_window.StrikeColumn(column, idealFrame);
}

QStringList MainTransportHost::samplesForPlay() const {
    QStringList paths;
    if (!m_window.m_paths) {
        return paths;
    }
    const Ensemble& ensemble = m_window.ensemble();
    for (int bell = 0; bell < kBellCount; ++bell) {
        if (ensemble.isSelected(bell)) {
            paths.append(m_window.m_paths->sampleFolder() + m_window.bells().bellSampleFileName(bell));
        }
    }
    return paths;
}

void MainTransportHost::showStatusMessage(const QString& text) {
    m_window.showStatusMessage(text);
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
    return m_window.m_ringingLoader->isPlayInTurnChecked();
}

void MainTransportHost::uncheckPlayAllInTurn() {
    m_window.m_ringingLoader->uncheckPlayInTurn();
}

void MainTransportHost::selectNextInTurn() {
    m_window.loader().selSound()->selectNext();
}

QString MainTransportHost::highlightedRinging() {
    return m_window.loader().selSound()->selectedName();
}

bool MainTransportHost::loadListRinging(const QString& name) {
    return m_window.loader().loadListRingingByName(name);
}

int MainTransportHost::selectedBellCount() const {
    return m_window.ensemble().selectedCount();
}

int MainTransportHost::groupItemCount(int group) const {
    const QComboBox* selector = m_window.choices().groupSelector(group);
    return selector ? selector->count() : 0;
}

int MainTransportHost::groupItemIndex(int group) const {
    const QComboBox* selector = m_window.choices().groupSelector(group);
    return selector ? selector->currentIndex() : 0;
}

void MainTransportHost::chooseGroupRinging(int group, int index) {
    QComboBox* selector = m_window.choices().groupSelector(group);
    if (!selector) {
        return;
    }
    // Setting the index runs no handler (the selectors answer the user's
    // choice only); the choice rule runs once, below.
    selector->setCurrentIndex(index);
    QComboBox* mirror = m_window.m_fullView ? m_window.m_fullView->groupSelector(groupAt(group)) : nullptr;
    if (mirror && index < mirror->count()) {
        mirror->setCurrentIndex(index);
    }
    m_window.cbCustomSelectionChange(group);
}

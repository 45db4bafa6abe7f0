#include "app/MainOutputHost.h"

#include "animation/FullView.h"
#include "app/TfrmMain.h"
#include "base/WindowCaptions.h"
#include "bells/BellsPanel.h"
#include "bells/KeyboardRingingHook.h"
#include "playback/TransportPanel.h"
#include "ringing/RingingChoices.h"

#include <QStatusBar>

QWidget* MainOutputHost::window() const {
    return &m_window;
}

void MainOutputHost::showStatusMessage(const QString& text) {
    m_window.showStatusMessage(text);
}

void MainOutputHost::addStatusWidget(QWidget* widget) {
    m_window.statusBar()->addPermanentWidget(widget);
}

bool MainOutputHost::keyboardRinging() const {
    return m_window.bells().keyboard().keyboardRinging();
}

void MainOutputHost::setKeyboardRinging(bool on) {
    m_window.bells().keyboard().setKeyboardRinging(on);
}

QString MainOutputHost::imagesDir() const {
    return m_window.paths().imagesDir();
}

QString MainOutputHost::htmlDir() const {
    return m_window.paths().htmlDir();
}

QString MainOutputHost::sampleFolder() const {
    return m_window.paths().sampleFolder();
}

QString MainOutputHost::ringingName() const {
    return m_window.ringingName();
}

QStringList MainOutputHost::commonScore() const {
    return m_window.channels().common();
}

QStringList MainOutputHost::groupScore(BellGroup group) const {
    return m_window.channels().score(groupIndex(group));
}

const Ensemble& MainOutputHost::ensemble() const {
    return m_window.ensemble();
}

QString MainOutputHost::bellSampleFileName(int bell) const {
    return m_window.bells().bellSampleFileName(bell);
}

int MainOutputHost::columnInterval() const {
    return m_window.transport().sequencerInterval();
}

bool MainOutputHost::groupSounds(BellGroup group) const {
    const QCheckBox* boxes[kGroupCount] = {m_window.cbSmall, m_window.cbMiddle, m_window.cbBig};
    return boxes[groupIndex(group)]->isChecked();
}

bool MainOutputHost::groupRingingMode() const {
    return m_window.transport().state().groupRingingMode;
}

void MainOutputHost::selectAllBells() {
    m_window.nSelectAllClick();
}

int MainOutputHost::commonRingingCount() const {
    return m_window.cbCommon->count();
}

QString MainOutputHost::commonRingingName(int index) const {
    return m_window.cbCommon->itemText(index);
}

int MainOutputHost::chosenCommonRinging() const {
    return m_window.cbCommon ? m_window.cbCommon->currentIndex() : -1;
}

void MainOutputHost::chooseCommonRinging(int index) {
    m_window.cbCommon->setCurrentIndex(index);
    m_window.cbCommonChange();
}

void MainOutputHost::clearCommonChoice() {
    m_window.cbCommon->setCurrentIndex(0);
    QComboBox* fullCommon = m_window.m_fullView ? m_window.m_fullView->commonSelector() : nullptr;
    if (fullCommon && fullCommon->count() > 0) {
        fullCommon->setCurrentIndex(0);
    }
    m_window.cbCommonChange();
}

QString MainOutputHost::chosenGroupRinging(BellGroup group) const {
    const QComboBox* selector = m_window.choices().groupSelector(groupIndex(group));
    return selector && selector->currentIndex() > 0 ? selector->currentText() : QString();
}

void MainOutputHost::switchScoreOn() {
    if (!m_window.cbShowNotes->isChecked()) {
        m_window.cbShowNotes->setChecked(true);
        m_window.cbShowNotesClick();
    }
}

int MainOutputHost::pageCount() const {
    return m_window.udPage ? m_window.udPage->max() : 0;
}

int MainOutputHost::currentPage() const {
    return m_window.transport().state().currentPage;
}

void MainOutputHost::showPage(int position) {
    m_window.udPage->setPosition(position);
    m_window.udPageClick();
}

void MainOutputHost::drawScorePage(int page) {
    m_window.m_transportPanel->state().currentPage = page;
    m_window.RedrawScore();
}

bool MainOutputHost::simplifiedScore() const {
    return m_window.cbGrid && m_window.cbGrid->isChecked();
}

QColor MainOutputHost::scoreFace() const {
    return m_window.palette().color(QPalette::Window);
}

QWidget* MainOutputHost::staff(BellGroup group) const {
    QFrame* const staves[kGroupCount] = {m_window.pnlSmallBells, m_window.pnlMiddleBells,
                                         m_window.pnlBigBells};
    return staves[groupIndex(group)];
}

QWidget* MainOutputHost::stavesBox() const {
    return m_window.pnlBellsBox;
}

// Handlers of the bell animation and the full view: each forwards to the
// subsystem's own objects (animation/BellAnimation, animation/FullView),
// which do nothing before start-up has created them.

#include "animation/AnimationWorkers.h"
#include "animation/BellAnimation.h"
#include "animation/FullView.h"
#include "app/TfrmMain.h"
#include "base/FailureGuard.h"
#include "base/Logging.h"
#include "playback/TransportPanel.h"
#include "playback/TransportState.h"

#include <QComboBox>

void TfrmMain::cbShowMovieClick() {
    if (m_bellAnimation) {
        m_bellAnimation->cbShowMovieClick();
    }
}

void TfrmMain::cbViewChange() {
    if (m_fullView) {
        m_fullView->usualStyleChosen(cbView->currentIndex());
    }
    if (m_bellAnimation) {
        m_bellAnimation->cbViewChange();
    }
}

void TfrmMain::mmResetTimerTimer() {
    // The image-reset worker's operation, then the timer stops: once per
    // pause of 150 ms after the last strike.
    if (m_animationWorkers) {
        m_animationWorkers->resetBellImages();
    } else {
        ResetBellImages();
    }
    mmResetTimer->stop();
}

void TfrmMain::nFullViewClick() {
    if (m_fullView) {
        // The menu item checks and unchecks itself when chosen.
        m_fullView->nFullViewClick(nFullView->isChecked());
    }
}

void TfrmMain::btnFullViewClick() {
    if (m_fullView) {
        m_fullView->btnFullViewClick();
    }
}

void TfrmMain::btnUsualViewClick() {
    if (m_fullView) {
        m_fullView->btnUsualViewClick();
    }
}

void TfrmMain::ShowStrikeFrame(int bell) {
    if (m_bellAnimation) {
        ::guarded(lcAnimation, "strike frame", [this, bell] { m_bellAnimation->ShowStrikeFrame(bell); });
    }
}

void TfrmMain::ResetBellImages() {
    if (m_bellAnimation) {
        ::guarded(lcAnimation, "bell images at rest", [this] { m_bellAnimation->ResetBellImages(); });
    }
}

void TfrmMain::LayoutBellImages() {
    if (m_bellAnimation) {
        m_bellAnimation->LayoutBellImages();
    }
}

bool TfrmMain::isFullViewActive() const {
    return m_fullView && m_fullView->isActive();
}

void TfrmMain::DrawFullScore() {
    if (m_fullView) {
        ::guarded(lcAnimation, "full view score",
                  [this] { m_fullView->DrawFullScore(transport().state().currentPage); });
    }
}

void TfrmMain::PlaceFullScoreCursor() {
    if (m_fullView) {
        ::guarded(lcAnimation, "full view cursor",
                  [this] { m_fullView->PlaceFullScoreCursor(transport().state().currentColumn); });
    }
}

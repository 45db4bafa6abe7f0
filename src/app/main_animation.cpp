// Handlers of the bell animation and the full view: each forwards to the
// subsystem's own objects (score/BellAnimation, score/FullView), which do
// nothing before start-up has created them.

#include "app/TfrmMain.h"
#include "animation/AnimationWorkers.h"
#include "animation/BellAnimation.h"
#include "animation/FullView.h"

void TfrmMain::cbShowMovieClick() {
    if (m_bellAnimation) {
        m_bellAnimation->cbShowMovieClick();
    }
}

void TfrmMain::cbViewChange() {
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
        m_fullView->nFullViewClick();
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
        guarded([this, bell] { m_bellAnimation->ShowStrikeFrame(bell); });
    }
}

void TfrmMain::ResetBellImages() {
    if (m_bellAnimation) {
        guarded([this] { m_bellAnimation->ResetBellImages(); });
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
        guarded([this] { m_fullView->DrawFullScore(m_transport.currentPage); });
    }
}

void TfrmMain::PlaceFullScoreCursor() {
    if (m_fullView) {
        guarded([this] { m_fullView->PlaceFullScoreCursor(m_transport.currentColumn); });
    }
}

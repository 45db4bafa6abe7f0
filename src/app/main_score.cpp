// Handlers of the score view: the window forwards to its ScoreView, or, for
// the operations that also serve the full view, to the full view while it
// is shown.

#include "app/TfrmMain.h"
#include "score/ScoreView.h"

void TfrmMain::cbGridClick() {
    if (m_scoreView) {
        m_scoreView->cbGridClick();
    }
}

void TfrmMain::cbShowNotesClick() {
    if (m_scoreView) {
        m_scoreView->cbShowNotesClick();
    }
}

void TfrmMain::RedrawScore() {
    if (isFullViewActive()) {
        DrawFullScore();
        return;
    }
    if (m_scoreView) {
        m_scoreView->RedrawScore();
    }
}

void TfrmMain::PlaceScoreCursor() {
    if (isFullViewActive()) {
        PlaceFullScoreCursor();
        return;
    }
    if (m_scoreView) {
        m_scoreView->PlaceScoreCursor();
    }
}

void TfrmMain::LayoutScoreCursors() {
    if (m_scoreView) {
        m_scoreView->LayoutScoreCursors();
    }
}

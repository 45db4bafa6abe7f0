// Handlers of the bell animation and the full view.
// Filled in as the subsystem is built; until then the controls do nothing.

#include "app/TfrmMain.h"

void TfrmMain::cbShowMovieClick() {}

void TfrmMain::cbViewChange() {}

void TfrmMain::mmResetTimerTimer() {}

void TfrmMain::nFullViewClick() {}

void TfrmMain::btnFullViewClick() {}

void TfrmMain::btnUsualViewClick() {}

void TfrmMain::ShowStrikeFrame(int) {}

void TfrmMain::ResetBellImages() {}

void TfrmMain::LayoutBellImages() {}

bool TfrmMain::isFullViewActive() const {
    return false;
}

void TfrmMain::DrawFullScore() {}

void TfrmMain::PlaceFullScoreCursor() {}

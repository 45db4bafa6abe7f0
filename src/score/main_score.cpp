// Handlers of the score view, the animation and the full view.
// Filled in as the subsystem is built; until then the controls do nothing.

#include "app/TfrmMain.h"

void TfrmMain::cbGridClick() {}

void TfrmMain::cbShowNotesClick() {}

void TfrmMain::cbShowMovieClick() {}

void TfrmMain::cbViewChange() {}

void TfrmMain::mmResetTimerTimer() {}

void TfrmMain::nFullViewClick() {}

void TfrmMain::btnFullViewClick() {}

void TfrmMain::btnUsualViewClick() {}

void TfrmMain::RedrawScore() {}

void TfrmMain::PlaceScoreCursor() {}

void TfrmMain::ShowStrikeFrame(int) {}

void TfrmMain::ResetBellImages() {}

void TfrmMain::LayoutBellImages() {}

void TfrmMain::LayoutScoreCursors() {}

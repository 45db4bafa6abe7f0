// Handlers of the score view.
// Filled in as the subsystem is built; until then the controls do nothing.

#include "app/TfrmMain.h"

void TfrmMain::cbGridClick() {}

void TfrmMain::cbShowNotesClick() {}

void TfrmMain::RedrawScore() {}

void TfrmMain::PlaceScoreCursor() {}

void TfrmMain::LayoutScoreCursors() {}

// Handler of the recording command.
// Filled in as the subsystem is built; until then the controls do nothing.

#include "app/TfrmMain.h"

void TfrmMain::nRecClick() {}

void TfrmMain::EndRecording() {}

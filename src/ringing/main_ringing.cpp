// Handlers of the ringing catalogue choices and the chooser.
// Filled in as the subsystem is built; until then the controls do nothing.

#include "app/TfrmMain.h"

void TfrmMain::cbCommonChange() {}

void TfrmMain::nLoadSoundsClick() {}

// Handlers of lessons, help, links and opening files.
// Filled in as the subsystem is built; until then the controls do nothing.

#include "app/TfrmMain.h"

void TfrmMain::nHelpClick() {}

void TfrmMain::nManualClick() {}

void TfrmMain::nLesson1Click() {}

void TfrmMain::nLesson2Click() {}

void TfrmMain::nLesson3Click() {}

void TfrmMain::N1Click() {}

void TfrmMain::nForumClick() {}

void TfrmMain::nMailClick() {}

void TfrmMain::imgBannerClick() {}

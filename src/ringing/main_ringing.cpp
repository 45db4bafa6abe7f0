// Handlers of the ringing catalogue choices and the chooser.
// Filled in as the subsystem is built; until then the controls do nothing.

#include "app/TfrmMain.h"

void TfrmMain::cbCommonChange() {}

void TfrmMain::nLoadSoundsClick() {}

void TfrmMain::FillCommonChoice() {}

void TfrmMain::FillGroupChoices() {}

void TfrmMain::ClearChoices() {}

QString TfrmMain::commonScoreLine(int) const {
    return {};
}

int TfrmMain::commonScoreSize() const {
    return 0;
}

bool TfrmMain::isGroupAnimated(int) const {
    return true;
}

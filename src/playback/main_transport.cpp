// Handlers of the transport, tempo, volume and the generator.
// Filled in as the subsystem is built; until then the controls do nothing.

#include "app/TfrmMain.h"

void TfrmMain::btnPlayClick() {}

void TfrmMain::btnPauseClick() {}

void TfrmMain::btnStopClick() {}

void TfrmMain::btnRewClick() {}

void TfrmMain::btnFFClick() {}

void TfrmMain::mmTimerTimer() {}

void TfrmMain::tbProgressChange() {}

void TfrmMain::udPageClick() {}

void TfrmMain::tbTempChange() {}

void TfrmMain::nTempUpClick() {}

void TfrmMain::nTempDownClick() {}

void TfrmMain::tbVolumeChange() {}

void TfrmMain::nVolumeUpClick() {}

void TfrmMain::nVolumeDownClick() {}

void TfrmMain::nGeneratorClick() {}

void TfrmMain::ResetPlayback() {}

void TfrmMain::ShowTempo() {}

void TfrmMain::ShowTotalDuration() {}

void TfrmMain::ShowPlayTime() {}

void TfrmMain::PlayNextInTurn() {}

// Handlers of the transport, tempo, volume and the generator: each forwards
// to the transport panel.

#include "app/TfrmMain.h"
#include "playback/TransportPanel.h"

void TfrmMain::btnPlayClick() {
    m_transportPanel->btnPlayClick();
}

void TfrmMain::btnPauseClick() {
    m_transportPanel->btnPauseClick();
}

void TfrmMain::btnStopClick() {
    m_transportPanel->btnStopClick();
}

void TfrmMain::btnRewClick() {
    m_transportPanel->btnRewClick();
}

void TfrmMain::btnFFClick() {
    m_transportPanel->btnFFClick();
}

void TfrmMain::mmTimerTimer() {
    m_transportPanel->mmTimerTimer();
}

void TfrmMain::tbProgressChange() {
    m_transportPanel->tbProgressChange();
}

void TfrmMain::udPageClick() {
    m_transportPanel->udPageClick();
}

void TfrmMain::tbTempChange() {
    m_transportPanel->tbTempChange();
}

void TfrmMain::nTempUpClick() {
    m_transportPanel->nTempUpClick();
}

void TfrmMain::nTempDownClick() {
    m_transportPanel->nTempDownClick();
}

void TfrmMain::tbVolumeChange() {
    m_transportPanel->tbVolumeChange();
}

void TfrmMain::nVolumeUpClick() {
    m_transportPanel->nVolumeUpClick();
}

void TfrmMain::nVolumeDownClick() {
    m_transportPanel->nVolumeDownClick();
}

void TfrmMain::nGeneratorClick() {
    if (!mayReplaceRinging()) {
        return;
    }
    m_transportPanel->nGeneratorClick();
}

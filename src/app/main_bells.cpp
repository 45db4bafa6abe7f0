// Handlers of the bell catalogue, the information panel, the bell strip,
// the stored ensemble and keyboard ringing, forwarded to BellsPanel and its
// KeyboardRingingHook. The group distributions and the groups tree are in
// main_groups.cpp.

#include "app/TfrmMain.h"
#include "bells/BellsPanel.h"
#include "bells/KeyboardRingingHook.h"
#include "playback/TransportPanel.h"

void TfrmMain::cbModelRowChange() {
    m_bellsPanel->cbModelRowChange();
    // The held columns sound the new row's samples.
    m_transportPanel->soundsChanged();
}

void TfrmMain::cbStereoClick() {
    m_bellsPanel->cbStereoClick();
    m_transportPanel->soundsChanged();
}

void TfrmMain::imgPreviewClick() {
    m_bellsPanel->imgPreviewClick();
}

void TfrmMain::nSelectAllClick() {
    m_bellsPanel->nSelectAllClick();
}

void TfrmMain::nDisselectAllClick() {
    m_bellsPanel->nDisselectAllClick();
}

const Ensemble& TfrmMain::ensemble() const {
    return m_bellsPanel->ensemble();
}

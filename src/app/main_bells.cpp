// Handlers of the bell catalogue, the information panel, the bell strip,
// the stored ensemble and keyboard ringing, forwarded to BellsPanel and its
// KeyboardRingingHook. The group distributions and the groups tree are in
// main_groups.cpp.

#include "app/TfrmMain.h"
#include "bells/BellsPanel.h"
#include "bells/KeyboardRingingHook.h"

void TfrmMain::cbModelRowChange() {
    m_bellsPanel->cbModelRowChange();
}

void TfrmMain::cbStereoClick() {
    m_bellsPanel->cbStereoClick();
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

void TfrmMain::bellStripClick(int bell) {
    m_bellsPanel->bellStripClick(bell);
}

void TfrmMain::ToggleBell(int bell) {
    m_bellsPanel->ToggleBell(bell);
}

QString TfrmMain::bellSampleFileName(int bell) const {
    return m_bellsPanel->bellSampleFileName(bell);
}

QString TfrmMain::bellDisplayName(int bell) const {
    return m_bellsPanel->bellDisplayName(bell);
}

const Ensemble& TfrmMain::ensemble() const {
    return m_bellsPanel->ensemble();
}

int TfrmMain::currentBell() const {
    return m_bellsPanel->currentBell();
}

BellStrip* TfrmMain::bellStrip() const {
    return m_bellsPanel->bellStrip();
}

bool TfrmMain::focusGroupSelector(int group) {
    return m_bellsPanel->keyboard().focusGroupSelector(group);
}

KeyStrikeNotifier& TfrmMain::keyStrikeNotifier() {
    return m_bellsPanel->keyboard().keyStrikeNotifier();
}

bool TfrmMain::keyboardRinging() const {
    return m_bellsPanel->keyboard().keyboardRinging();
}

void TfrmMain::setKeyboardRinging(bool on) {
    m_bellsPanel->keyboard().setKeyboardRinging(on);
}

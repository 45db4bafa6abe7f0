// Handlers of the bell catalogue, the selection and the group distributions.
// Filled in as the subsystem is built; until then the controls do nothing.

#include "app/TfrmMain.h"

#include <QCheckBox>
#include <QComboBox>

void TfrmMain::imgPreviewClick() {}

void TfrmMain::nSelectAllClick() {}

void TfrmMain::nDisselectAllClick() {}

void TfrmMain::btnGPrevClick() {}

void TfrmMain::btnGNextClick() {}

void TfrmMain::mPopupPopup() {}

void TfrmMain::nDeleteClick() {}

void TfrmMain::cbModelRowChange() {
    m_paths->setSampleFolder(cbModelRow->currentIndex(), cbStereo->isChecked());
}

void TfrmMain::cbStereoClick() {
    cbModelRowChange();
}

QString TfrmMain::bellSampleFileName(int) const {
    return {};
}

QString TfrmMain::bellDisplayName(int) const {
    return {};
}

void TfrmMain::ShowBellInfo() {}

void TfrmMain::RestoreEnsembleFromSettings() {}

void TfrmMain::SaveEnsembleToSettings() {}

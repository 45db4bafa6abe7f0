// Handlers of the ringing catalogue choices (cbCommon and the three group
// ringing selectors), forwarded to the ringing choices.

#include "app/TfrmMain.h"
#include "playback/TransportPanel.h"
#include "ringing/RingingChoices.h"

void TfrmMain::cbCommonChange() {
    m_ringingChoices->cbCommonChange();
}

void TfrmMain::cbCustomSelectionChange(int group) {
    m_ringingChoices->cbCustomSelectionChange(group);
    // Playing on: the columns held by the engine are those of the new choice.
    m_transportPanel->soundsChanged();
}

QString TfrmMain::commonScoreLine(int column) const {
    return m_ringingChoices->commonScoreLine(column);
}

int TfrmMain::commonScoreSize() const {
    return m_ringingChoices->commonScoreSize();
}

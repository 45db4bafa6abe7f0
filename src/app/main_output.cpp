// Handlers of printing, the HTML export and saving as sound: each forwards
// to the output subsystem's controller.

#include "app/TfrmMain.h"
#include "output/OutputController.h"

OutputController* TfrmMain::output() {
    if (!m_output) {
        m_output = new OutputController(*this);
    }
    return m_output;
}

void TfrmMain::nPrintClick() {
    output()->nPrintClick();
}

void TfrmMain::nSaveSoundClick() {
    output()->nSaveSoundClick();
}

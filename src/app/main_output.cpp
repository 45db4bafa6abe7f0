// Handlers of printing, the HTML export and saving as sound: each forwards
// to the output subsystem's controller.

#include "app/MainOutputHost.h"
#include "app/TfrmMain.h"
#include "output/OutputController.h"

OutputController* TfrmMain::output() {
    if (!m_output) {
        m_outputHost = std::make_unique<MainOutputHost>(*this);
        m_output = new OutputController(*m_outputHost);
    }
    return m_output;
}

void TfrmMain::nPrintClick() {
    output()->nPrintClick();
}

void TfrmMain::nSaveSoundClick() {
    output()->nSaveSoundClick();
}

void TfrmMain::nExportHtmlClick() {
    output()->nExportHtmlClick();
}

// The recording command of the main window and what the recorder needs of it.

#include "app/TfrmMain.h"
#include "bells/BellsPanel.h"
#include "bells/KeyboardRingingHook.h"
#include "input/KeyStrikeNotifier.h"
#include "playback/TransportPanel.h"
#include "record/RecordingHost.h"
#include "record/ScoreEditor.h"
#include "record/TfrmRec.h"

namespace {

class MainRecordingHost : public RecordingHost {
public:
    explicit MainRecordingHost(TfrmMain& window) : m_window(window) {}
    const Ensemble& ensemble() const override { return m_window.ensemble(); }
    int sequencerInterval() const override { return m_window.transport().sequencerInterval(); }
    void stopSequencer() override { m_window.btnPauseClick(); }
    void setKeyboardRinging(bool on) override { m_window.bells().keyboard().setKeyboardRinging(on); }

private:
    TfrmMain& m_window;
};

} // namespace

TfrmRec* TfrmMain::frmRec() {
    if (!m_frmRec) {
        m_frmRec = new TfrmRec(std::make_unique<MainRecordingHost>(*this),
                               bells().keyboard().keyStrikeNotifier(), this);
        connect(m_frmRec, &TfrmRec::editRequested, this, [this](const QStringList& body) {
            editor().editBody(body, QStringLiteral("Записанный звон"));
        });
    }
    return m_frmRec;
}

void TfrmMain::nRecClick() {
    frmRec()->openForRecording();
}

void TfrmMain::EndRecording() {
    if (m_frmRec) {
        m_frmRec->EndRecording();
    }
    bells().keyboard().setKeyboardRinging(true);
}

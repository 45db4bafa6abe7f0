// The score editor of the main window: what it needs of the window, and its
// menu items.

#include "app/TfrmMain.h"
#include "base/WindowCaptions.h"
#include "bells/BellsPanel.h"
#include "bells/KeyboardRingingHook.h"
#include "playback/TransportPanel.h"
#include "record/EditorHost.h"
#include "record/ScoreEditor.h"
#include "record/TfrmRec.h"
#include "ringing/RingingLoader.h"

#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

class MainEditorHost : public EditorHost {
public:
    explicit MainEditorHost(TfrmMain& window) : m_window(window) {}

    QWidget* dialogParent() override { return &m_window; }
    const Ensemble& ensemble() const override { return m_window.ensemble(); }
    TChannels& channels() override { return m_window.channels(); }
    ScoreView* scoreView() override { return m_window.m_scoreView; }
    KeyStrikeNotifier* keyStrikes() override {
        return m_window.m_bellsPanel ? &m_window.bells().keyboard().keyStrikeNotifier() : nullptr;
    }

    void loadRinging(const QStringList& body) override {
        m_window.transport().btnStopClick();
        if (m_window.loader().loadRingingLines(TChannels::kCommonScore, body)) {
            m_window.loader().showWholeRingingPages();
        }
    }
    void ringingChanged(bool lengthChanged) override {
        TransportPanel& transport = m_window.transport();
        if (lengthChanged) {
            transport.applyRingingRanges(transport::RingingLoader::Chooser);
            transport.ShowTotalDuration();
        }
        transport.soundsChanged();
        m_window.RedrawScore();
    }
    int currentInterval() const override { return m_window.m_transportPanel->sequencerInterval(); }
    void setInterval(int milliseconds) override {
        // The header's interval is the ringing's own tempo, as a load gives it.
        m_window.channels().setOwnInterval(milliseconds);
        m_window.transport().setSequencerInterval(milliseconds);
        m_window.transport().ShowTempo();
        m_window.transport().ShowTotalDuration();
    }

    int currentColumn() const override { return m_window.m_transportPanel->state().currentColumn; }
    int currentPage() const override { return m_window.m_transportPanel->state().currentPage; }
    bool isPlaying() const override { return m_window.m_transportPanel->isPlaying(); }
    void placeAt(int column) override { m_window.transport().restorePlayPlace(column); }
    void play() override { m_window.btnPlayClick(); }
    void stop() override { m_window.btnStopClick(); }

    QString ringingName() const override { return m_window.ringingName(); }
    bool groupRingingLoaded() const override { return m_window.m_transportPanel->state().groupRingingMode; }
    void showTitle(const QString& name, bool modified) override {
        m_window.setCaptionForRinging(name);
        if (modified) {
            m_window.setWindowTitle(m_window.windowTitle() + QStringLiteral(" *"));
        }
    }
    void showStatusMessage(const QString& text) override { m_window.statusBar()->showMessage(text, 10000); }
    QString customDir() const override {
        return m_window.m_paths ? m_window.m_paths->customDir() : QString();
    }

private:
    TfrmMain& m_window;
};

void TfrmMain::createEditor() {
    m_editor = new ScoreEditor(std::make_unique<MainEditorHost>(*this), this);
    m_editor->buildMenus(menuBar(), mFile, nPrint, this);
}

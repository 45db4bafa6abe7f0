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
#include "ringing/RingingChoices.h"
#include "ringing/RingingLoader.h"

#include "record/UnsavedRingings.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

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
        // The edited ringing is a ringing of its own: the lists no longer
        // show what was chosen before, and it does not loop as a group ringing.
        m_window.m_ringingChoices->ClearChoices();
        m_window.m_transportPanel->state().groupRingingMode = false;
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
    void playRange(int first, int last, bool loop) override {
        m_window.transport().playRange(first, last, loop);
    }
    // A strike written by a click or a key, heard at a third of a hand strike.
    void previewBell(int bell) override { m_window.HandStrike(bell, 0.35f); }

    QString ringingName() const override { return m_window.ringingName(); }
    QString ringingFilePath() const override { return m_window.m_ringingFile; }
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

void TfrmMain::restoreEditorSettings() {
    const QString section = QStringLiteral("Settings");
    const QString key = QStringLiteral("EditorAdvance");
    m_editor->setAdvancesAfterKey(settingsFile().readBool(section, key, true));
    // Connected after the stored value is applied, so reading it writes nothing.
    connect(m_editor->actions().advance, &QAction::toggled, this, [this, section, key](bool on) {
        guarded([&] { settingsFile().writeBool(section, key, on); });
    });
}

void TfrmMain::offerUnsavedRingings() {
    const QList<UnsavedRinging> found = findUnsavedRingings(unsavedRingingFolders());
    if (found.isEmpty()) {
        return;
    }
    const UnsavedRinging kept = found.front();
    // Not modal-blocking: it comes at start-up, and the window is usable meanwhile.
    auto* box = new QMessageBox(
        QMessageBox::Question, captions::kProgram,
        QStringLiteral("После прошлой работы остался несохранённый звон «%1», записанный %2.\n"
                       "Восстановить его?")
            .arg(kept.name, kept.written.toString(QStringLiteral("dd.MM.yyyy в HH:mm:ss"))),
        QMessageBox::NoButton, this);
    box->setObjectName(QStringLiteral("msgRestoreUnsaved"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton* restore = box->addButton(QStringLiteral("Восстановить"), QMessageBox::AcceptRole);
    QPushButton* remove = box->addButton(QStringLiteral("Удалить"), QMessageBox::DestructiveRole);
    box->addButton(QStringLiteral("Позже"), QMessageBox::RejectRole);
    box->setDefaultButton(restore);
    connect(box, &QMessageBox::buttonClicked, this,
            [this, restore, remove, path = kept.path](QAbstractButton* b) {
                guarded([&] {
                    if (b == restore) {
                        restoreUnsavedRinging(path);
                    } else if (b == remove) {
                        QFile::remove(path);
                        // The next one, if any, once this box has gone.
                        QTimer::singleShot(0, this, [this] { guarded([this] { offerUnsavedRingings(); }); });
                    }
                });
            });
    box->open();
}

void TfrmMain::restoreUnsavedRinging(const QString& path) {
    if (m_editor && !m_editor->maySetAside()) {
        return;
    }
    if (!loader().openUserRingingText(path)) {
        statusBar()->showMessage(QStringLiteral("Не удалось восстановить звон из «%1».").arg(path), 10000);
        return;
    }
    loader().showWholeRingingPages();
    m_editor->editRestored(path);
}

bool TfrmMain::mayReplaceRinging() {
    return !m_editor || m_editor->maySetAside();
}

#include "bells/BellsPanel.h"

#include "base/FailureGuard.h"
#include "base/Logging.h"
#include "base/PathTable.h"
#include "base/ProfileFile.h"
#include "base/RequiredFileCheck.h"
#include "bells/BellStrip.h"
#include "bells/BellsHost.h"
#include "bells/EnsembleSettings.h"
#include "bells/KeyboardRingingHook.h"
#include "bells/MidiRinging.h"
#include "bells/TBellData.h"
#include "ui/TImage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>

namespace {

const QString kFlatBellsNotice = QStringLiteral(
    "По нашему мнению, плоские колокола не являются традиционным церковным инструментом и не могут "
    "заменить собой церковные колокола");
constexpr int kFlatBellsRow = 2;

// Catalogue fields.
constexpr int kNameField = 1;
constexpr int kSampleField = 2;
constexpr int kSelectedPictureField = 3;
constexpr int kUnselectedPictureField = 4;

} // namespace

BellsPanel::BellsPanel(const Controls& controls, BellsHost& host, QObject* parent)
    : QObject(parent), m_controls(controls), m_host(host),
      m_keyboard(new KeyboardRingingHook(*this, controls.window, this)) {}

BellsPanel::~BellsPanel() = default;

MidiRinging& BellsPanel::midi() {
    if (!m_midi) {
        m_midi = new MidiRinging(*this, this);
    }
    return *m_midi;
}

// ---- catalogue and information panel ----

void BellsPanel::loadBellCatalogue() {
    m_bellData = std::make_unique<TBellData>(m_host.paths().bellCatalogue(), m_host.requiredFiles());
}

QString BellsPanel::catalogueField(int field, int bell) const {
    return m_bellData ? m_bellData->Column(field, bell) : QString();
}

QString BellsPanel::bellSampleFileName(int bell) const {
    return catalogueField(kSampleField, bell);
}

QString BellsPanel::bellDisplayName(int bell) const {
    return catalogueField(kNameField, bell);
}

int BellsPanel::findBellByName(const QString& name) const {
    return m_bellData ? m_bellData->FindByName(name) : -1;
}

void BellsPanel::ShowBellInfo() {
    const QString picture = m_host.paths().imagesDir() + catalogueField(kSelectedPictureField, m_currentBell);
    if (m_host.requiredFiles().check(picture)) {
        m_controls.preview->loadPicture(picture);
    }
    m_controls.caption->setPlainText(
        m_controls.modelRow->currentIndex() == kFlatBellsRow ? kFlatBellsNotice : bellCaption(m_currentBell));
}

void BellsPanel::cbModelRowChange() {
    m_host.paths().setSampleFolder(m_controls.modelRow->currentIndex(), m_controls.stereo->isChecked());
    // The new set starts converting now, not at its first strike.
    m_host.preloadSampleFolder();
    // Shows the flat-bells notice while that row is chosen.
    ShowBellInfo();
}

void BellsPanel::cbStereoClick() {
    cbModelRowChange();
}

void BellsPanel::imgPreviewClick() {
    strikeCurrentBell();
}

void BellsPanel::strikeCurrentBell(float gain) {
    m_host.handStrike(m_currentBell, gain);
}

// ---- bell strip and selection ----

void BellsPanel::resetBellState() {
    m_currentBell = 0;
    m_keyboard->setKeyboardRinging(true);
}

void BellsPanel::createBellStrip() {
    m_bellStrip = new BellStrip(m_controls.strip, m_controls.marker);
    connect(m_bellStrip, &BellStrip::bellClicked, this, [this](int bell) {
        guarded(lcBells, "bell strip click", [this, bell] { bellStripClick(bell); });
    });
    for (int i = 0; i < kBellCount; ++i) {
        loadBellPicture(i);
    }
    m_bellStrip->moveMarker(m_currentBell);
}

void BellsPanel::layoutBellStrip() {
    if (m_bellStrip) {
        m_bellStrip->layout();
    }
}

void BellsPanel::loadBellPicture(int bell) {
    TImage* image = m_bellStrip ? m_bellStrip->picture(bell) : nullptr;
    if (!image) {
        return;
    }
    const int field = m_ensemble.isSelected(bell) ? kSelectedPictureField : kUnselectedPictureField;
    const QString path = m_host.paths().imagesDir() + catalogueField(field, bell);
    if (m_host.requiredFiles().check(path)) {
        image->loadPicture(path);
    }
}

void BellsPanel::setCurrentBell(int bell) {
    if (bell < 0 || bell >= kBellCount) {
        return;
    }
    m_currentBell = bell;
    if (m_bellStrip) {
        m_bellStrip->moveMarker(bell);
    }
}

void BellsPanel::bellStripClick(int bell) {
    if (pickBell(bell)) {
        return;
    }
    setCurrentBell(bell);
    ShowBellInfo();
    ToggleBell(bell);
}

void BellsPanel::ToggleBell(int bell) {
    // Another selection empties the score: asked first.
    if (bell < 0 || bell >= kBellCount || !m_host.mayReplaceRinging()) {
        return;
    }
    const bool selected = !m_ensemble.isSelected(bell);
    m_ensemble.setSelected(bell, selected);
    loadBellPicture(bell);
    afterSelectionChange();
    if (selected) {
        m_host.handStrike(bell, 1.0f);
    }
}

void BellsPanel::nSelectAllClick() {
    if (!m_host.mayReplaceRinging()) {
        return;
    }
    for (int i = 0; i < kBellCount; ++i) {
        m_ensemble.setSelected(i, true);
        loadBellPicture(i);
    }
    afterSelectionChange();
}

void BellsPanel::nDisselectAllClick() {
    if (!m_host.mayReplaceRinging()) {
        return;
    }
    for (int i = 0; i < kBellCount; ++i) {
        m_ensemble.setSelected(i, false);
        loadBellPicture(i);
    }
    afterSelectionChange();
}

void BellsPanel::afterSelectionChange() {
    // A new selection starts again at the first distribution variant.
    m_host.resetGroupsVariant();
    ShowBellCount();
    m_host.recomputeGroups();
}

void BellsPanel::clearEnsemble() {
    m_ensemble.clear();
}

void BellsPanel::ShowBellCount() {
    m_controls.count->setPlainText(QStringLiteral("Всего колоколов: ") +
                                   QString::number(m_ensemble.selectedCount()));
}

// ---- the ensemble in the settings file ----

void BellsPanel::RestoreEnsembleFromSettings() {
    const ensemble_settings::Text stored = ensemble_settings::read(m_host.settingsFile());
    applyEnsembleText(stored.bells, stored.types);
}

void BellsPanel::applyEnsembleText(const QString& bells, const QString& types) {
    m_ensemble.applyText(bells, types);
    for (int i = 0; i < kBellCount && i < bells.size(); ++i) {
        if (bells.at(i) == u'1') {
            loadBellPicture(i);
        }
    }
    // The given groups are taken as they are: no recomputation.
    m_host.showEnsembleGroups();
    ShowBellCount();
}

void BellsPanel::SaveEnsembleToSettings() {
    if (!ensemble_settings::write(m_host.settingsFile(), {m_ensemble.bellsText(), m_ensemble.typesText()})) {
        qCWarning(lcBells) << "the ensemble could not be written to the settings file";
    }
}

// ---- shutdown ----

void BellsPanel::releaseBells() {
    m_keyboard->releaseStrikes();
    delete m_bellStrip;
    m_bellStrip = nullptr;
}

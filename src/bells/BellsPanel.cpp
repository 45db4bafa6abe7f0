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
#include "bells/belfry/BelfryStore.h"
#include "ui/TImage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QMessageBox>
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
constexpr int kNoteField = 6;

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
    // A place without a bell of the belfry keeps the catalogue's name, which
    // its folder does not hold: that place stays silent.
    if (m_belfryRow && m_belfryRow->hasBell(bell)) {
        return m_belfryRow->sampleFileName(bell);
    }
    return catalogueField(kSampleField, bell);
}

QString BellsPanel::bellDisplayName(int bell) const {
    return catalogueField(kNameField, bell);
}

int BellsPanel::findBellByName(const QString& name) const {
    return m_bellData ? m_bellData->FindByName(name) : -1;
}

int BellsPanel::pictureBell(int bell) const {
    if (!m_belfryRow || !m_belfryRow->hasBell(bell)) {
        return bell;
    }
    QStringList notes;
    for (int i = 0; i < kBellCount; ++i) {
        notes.append(catalogueField(kNoteField, i));
    }
    const int nearest = m_belfryRow->nearestCatalogueBell(bell, notes);
    return nearest >= 0 ? nearest : bell;
}

void BellsPanel::ShowBellInfo() {
    const QString picture =
        m_host.paths().imagesDir() + catalogueField(kSelectedPictureField, pictureBell(m_currentBell));
    if (m_host.requiredFiles().check(picture)) {
        m_controls.preview->loadPicture(picture);
    }
    if (m_belfryRow) {
        m_controls.caption->setPlainText(m_belfryRow->information(m_currentBell));
        return;
    }
    m_controls.caption->setPlainText(
        m_controls.modelRow->currentIndex() == kFlatBellsRow ? kFlatBellsNotice : bellCaption(m_currentBell));
}

void BellsPanel::refreshBelfries() {
    QComboBox* rows = m_controls.modelRow;
    const QString chosen = m_belfryRow ? m_belfryRow->belfry().name : QString();
    const QSignalBlocker quiet(rows);
    while (rows->count() > BelfryRow::kFirstBelfryRow) {
        rows->removeItem(rows->count() - 1);
    }
    for (const QString& name : BelfryStore(m_host.paths().belfriesDir()).names()) {
        rows->addItem(BelfryRow::caption(name), name);
    }
    if (!chosen.isEmpty() && !selectBelfry(chosen)) {
        rows->setCurrentIndex(0);
        cbModelRowChange();
    }
}

bool BellsPanel::selectBelfry(const QString& name) {
    const int index = m_controls.modelRow->findData(name);
    if (index < BelfryRow::kFirstBelfryRow) {
        return false;
    }
    m_controls.modelRow->setCurrentIndex(index);
    cbModelRowChange();
    return m_controls.modelRow->currentIndex() == index;
}

void BellsPanel::cbModelRowChange() {
    const int row = m_controls.modelRow->currentIndex();
    m_belfryRow.reset();
    if (row >= BelfryRow::kFirstBelfryRow) {
        const QString name = m_controls.modelRow->itemData(row).toString();
        QString error;
        m_belfryRow = loadBelfryRow(m_host.paths().belfriesDir(), name, &error);
        if (m_belfryRow) {
            m_host.paths().setSampleFolderPath(m_belfryRow->folder());
        } else {
            qCWarning(lcBells) << "belfry" << name << "cannot be used:" << error;
            if (m_controls.window && m_controls.window->isVisible()) {
                QMessageBox::warning(m_controls.window, QStringLiteral("Своя звонница"),
                                     QStringLiteral("Звонницу «%1» открыть не удалось: %2").arg(name, error));
            }
            const QSignalBlocker quiet(m_controls.modelRow);
            m_controls.modelRow->setCurrentIndex(0);
        }
    }
    if (!m_belfryRow) {
        m_host.paths().setSampleFolder(m_controls.modelRow->currentIndex(), m_controls.stereo->isChecked());
    }
    for (int i = 0; i < kBellCount; ++i) {
        loadBellPicture(i);
    }
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
    const int field = m_ensemble.isSelected(bell) && hasBell(bell) ? kSelectedPictureField : kUnselectedPictureField;
    const QString path = m_host.paths().imagesDir() + catalogueField(field, pictureBell(bell));
    if (m_host.requiredFiles().check(path)) {
        image->loadPicture(path);
    }
    image->setToolTip(m_belfryRow ? m_belfryRow->hint(bell) : bellCaption(bell));
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
    // A belfry's place without a bell cannot be chosen; one chosen before
    // the belfry was can still be let go.
    if (!hasBell(bell) && !m_ensemble.isSelected(bell)) {
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
        m_ensemble.setSelected(i, hasBell(i) || m_ensemble.isSelected(i));
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

// Handlers of the bell catalogue, the information panel, the bell strip,
// the stored ensemble and keyboard ringing. The group distributions and the
// groups tree are in main_groups.cpp.

#include "app/TfrmMain.h"
#include "bells/BellStrip.h"
#include "bells/EnsembleSettings.h"
#include "input/EventHook.h"
#include "input/KeyStrikeNotifier.h"
#include "input/KeyboardFocusGate.h"
#include "bells/KeyboardRinging.h"
#include "input/TKeyStream.h"
#include "input/VirtualKeys.h"
#include "ui/TImage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>

namespace {

const QString kFlatBellsNotice = QStringLiteral(
    "По нашему мнению, плоские колокола не являются традиционным церковным инструментом и не могут "
    "заменить собой церковные колокола");
constexpr int kFlatBellsRow = 2;

} // namespace

// ---- catalogue and information panel ----

void TfrmMain::loadBellCatalogue() {
    m_bellData = std::make_unique<TBellData>(m_paths->bellCatalogue(), m_required);
}

QString TfrmMain::catalogueField(int field, int bell) const {
    return m_bellData ? m_bellData->Column(field, bell) : QString();
}

QString TfrmMain::bellSampleFileName(int bell) const {
    return catalogueField(2, bell);
}

QString TfrmMain::bellDisplayName(int bell) const {
    return catalogueField(1, bell);
}

void TfrmMain::ShowBellInfo() {
    const QString picture = m_paths->imagesDir() + catalogueField(3, m_currentBell);
    if (m_required.check(picture)) {
        imgPreview->loadPicture(picture);
    }
    mBellInfo->setPlainText(cbModelRow->currentIndex() == kFlatBellsRow ? kFlatBellsNotice
                                                                        : bellCaption(m_currentBell));
}

void TfrmMain::cbModelRowChange() {
    m_paths->setSampleFolder(cbModelRow->currentIndex(), cbStereo->isChecked());
    // The new set starts converting now, not at its first strike.
    preloadSampleFolder();
    // Shows the flat-bells notice while that row is chosen.
    ShowBellInfo();
}

void TfrmMain::cbStereoClick() {
    cbModelRowChange();
}

void TfrmMain::imgPreviewClick() {
    HandStrike(m_currentBell);
}

// ---- bell strip and selection ----

void TfrmMain::resetBellState() {
    m_currentBell = 0;
    m_keyboardRinging = true;
}

void TfrmMain::createBellStrip() {
    m_bellStrip = new BellStrip(pnlBells, imgHot);
    connect(m_bellStrip, &BellStrip::bellClicked, this,
            [this](int bell) { guarded([this, bell] { bellStripClick(bell); }); });
    for (int i = 0; i < kBellCount; ++i) {
        loadBellPicture(i);
    }
    m_bellStrip->moveMarker(m_currentBell);
}

void TfrmMain::layoutBellStrip() {
    if (m_bellStrip) {
        m_bellStrip->layout();
    }
}

void TfrmMain::loadBellPicture(int bell) {
    TImage* image = m_bellStrip ? m_bellStrip->picture(bell) : nullptr;
    if (!image) {
        return;
    }
    const QString path = m_paths->imagesDir() + catalogueField(m_ensemble.isSelected(bell) ? 3 : 4, bell);
    if (m_required.check(path)) {
        image->loadPicture(path);
    }
}

void TfrmMain::setCurrentBell(int bell) {
    if (bell < 0 || bell >= kBellCount) {
        return;
    }
    m_currentBell = bell;
    if (m_bellStrip) {
        m_bellStrip->moveMarker(bell);
    }
}

void TfrmMain::bellStripClick(int bell) {
    setCurrentBell(bell);
    ShowBellInfo();
    ToggleBell(bell);
}

void TfrmMain::ToggleBell(int bell) {
    if (bell < 0 || bell >= kBellCount) {
        return;
    }
    const bool selected = !m_ensemble.isSelected(bell);
    m_ensemble.setSelected(bell, selected);
    loadBellPicture(bell);
    m_variant = 0;
    ShowBellCount();
    RecomputeGroups();
    if (selected) {
        HandStrike(bell);
    }
}

void TfrmMain::nSelectAllClick() {
    for (int i = 0; i < kBellCount; ++i) {
        m_ensemble.setSelected(i, true);
        loadBellPicture(i);
    }
    m_variant = 0;
    ShowBellCount();
    RecomputeGroups();
}

void TfrmMain::nDisselectAllClick() {
    for (int i = 0; i < kBellCount; ++i) {
        m_ensemble.setSelected(i, false);
        loadBellPicture(i);
    }
    m_variant = 0;
    ShowBellCount();
    RecomputeGroups();
}

void TfrmMain::clearEnsemble() {
    m_ensemble.clear();
}

void TfrmMain::ShowBellCount() {
    mBellsInfo->setPlainText(QStringLiteral("Всего колоколов: ") +
                             QString::number(m_ensemble.selectedCount()));
}

// ---- the ensemble in the settings file ----

void TfrmMain::RestoreEnsembleFromSettings() {
    const ensemble_settings::Text stored = ensemble_settings::read(*m_settingsFile);
    applyEnsembleText(stored.bells, stored.types);
}

void TfrmMain::applyEnsembleText(const QString& bells, const QString& types) {
    m_ensemble.applyText(bells, types);
    for (int i = 0; i < kBellCount && i < bells.size(); ++i) {
        if (bells.at(i) == u'1') {
            loadBellPicture(i);
        }
    }
    // The given groups are taken as they are: no recomputation.
    rebuildGroupsTree();
    setNavigationButtons();
    groupsChanged();
    showDistributionsMessage();
    ShowBellCount();
}

void TfrmMain::SaveEnsembleToSettings() {
    ensemble_settings::write(*m_settingsFile, {m_ensemble.bellsText(), m_ensemble.typesText()});
}

// ---- keyboard ringing ----

void TfrmMain::installKeyboardHook() {
    if (!m_keyboardHook) {
        m_keyboardHook = new EventHook(
            [this](QObject* watched, QEvent* event) { return keyboardHookEvent(watched, event); }, this);
    }
    if (!m_keyStrikes) {
        m_keyStrikes = new KeyStrikes(this);
    }
    // Installing again only moves it to the front of the filters.
    qApp->installEventFilter(m_keyboardHook);
}

bool TfrmMain::keyboardHookEvent(QObject* watched, QEvent* event) {
    // A key press reaches its window first and is then passed on to widgets;
    // taking it at the window sees each press exactly once.
    if (event->type() != QEvent::KeyPress || !watched->isWindowType()) {
        return false;
    }
    // Keys typed into dialogs, menus and text fields belong to them.
    if (!keyboardRingingMayAct(this, watched)) {
        return false;
    }
    const auto* key = static_cast<const QKeyEvent*>(event);
    const int virtualKey = VirtualKeys::translate(QGuiApplication::platformName(), key->nativeScanCode(),
                                                  key->key(), key->modifiers().testFlag(Qt::KeypadModifier));
    bool consumed = false;
    guarded([&] { consumed = handleRingingKey(virtualKey, key->isAutoRepeat(), key->timestamp()); });
    return consumed;
}

bool TfrmMain::handleRingingKey(int virtualKey, bool autoRepeat, std::uint64_t eventTimestamp) {
    if (!m_keyboardRinging || virtualKey == 0) {
        return false;
    }
    const KeyboardRinging::KeyRole role = KeyboardRinging::roleOf(virtualKey);
    if (role.step != 0) {
        setCurrentBell(KeyboardRinging::steppedBell(m_currentBell, role.step));
        ShowBellInfo();
    }
    // A held key repeats only the arrows: a repeated strike or toggle would
    // pile up voices faster than bells can ring out.
    if (autoRepeat) {
        return role.consumed;
    }
    if (role.toggleCurrent) {
        ToggleBell(m_currentBell);
    }
    if (role.focusGroup >= 0) {
        focusGroupSelector(role.focusGroup);
    }
    const int bell = m_bellData ? KeyboardRinging::bellForKey(*m_bellData, m_ensemble, virtualKey) : -1;
    if (bell >= 0) {
        setCurrentBell(bell);
        // Listeners (the recorder) hear of the strike before it sounds.
        keyStrikeNotifier().notifyStrike(bell, eventTimestamp);
        if (m_keyStrikes) {
            // The strike runs on this thread later, for the bell current then.
            m_keyStrikes->start([this] {
                guarded([this] {
                    HandStrike(m_currentBell);
                    ShowBellInfo();
                });
            });
        }
    }
    return role.consumed;
}

bool TfrmMain::focusGroupSelector(int group) {
    auto* selector = findChild<QWidget*>(QStringLiteral("cbCustomSelection") + QString::number(group));
    if (!selector || !selector->isVisible() || !selector->isEnabled()) {
        return false;
    }
    selector->setFocus(Qt::ShortcutFocusReason);
    return true;
}

void TfrmMain::releaseBells() {
    if (m_keyboardHook) {
        qApp->removeEventFilter(m_keyboardHook);
    }
    // The hooks on the groups tree and the message call into this window,
    // which is going away while its controls still get events.
    qDeleteAll(tvGroups->findChildren<EventHook*>(Qt::FindDirectChildrenOnly));
    qDeleteAll(mDesc->findChildren<EventHook*>(Qt::FindDirectChildrenOnly));
    // Waits for the keyboard strikes still on their way; they do nothing now.
    delete m_keyStrikes;
    m_keyStrikes = nullptr;
    delete m_bellStrip;
    m_bellStrip = nullptr;
}

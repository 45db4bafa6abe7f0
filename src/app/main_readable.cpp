// The readable score ("Вид > Крупные ноты"): a view option kept in the
// settings file, applied to the score view and the full view. Off by
// default, so the score keeps its usual look until the user asks.

#include "animation/FullView.h"
#include "app/TfrmMain.h"
#include "bells/BellsPanel.h"
#include "bells/TBellData.h"
#include "playback/ColumnStrikes.h"
#include "score/ReadableScore.h"
#include "score/ScoreView.h"

#include <QAction>
#include <QMenu>

namespace {

const QString kSettingsSection = QStringLiteral("Settings");
const QString kLargeNotesKey = QStringLiteral("LargeNotes");

} // namespace

void TfrmMain::setupReadableScore() {
    auto* action = new QAction(QStringLiteral("Крупные ноты"), mViewMenu);
    action->setObjectName(QStringLiteral("nLargeNotes"));
    action->setCheckable(true);
    action->setChecked(settingsFile().readBool(kSettingsSection, kLargeNotesKey, false));
    mViewMenu->insertAction(nFullView, action);
    if (m_scoreView) {
        // A line's label is the key of the bell that the group's position rings now.
        m_scoreView->setKeyLabelSource([this](int group, int position) {
            const TBellData* catalogue = m_bellsPanel ? m_bellsPanel->bellData() : nullptr;
            const int bell =
                ::BellForToken(ensemble(), Ensemble::letterForGroup(kSmallGroup + group), position);
            const std::optional<int> key = catalogue && bell >= 0 ? catalogue->keyCode(bell) : std::nullopt;
            return key ? readableKeyLabel(*key) : QString();
        });
    }
    auto apply = [this](bool on) {
        if (m_fullView) {
            m_fullView->setReadable(on);
        }
        if (m_scoreView) {
            m_scoreView->setReadable(on);
        }
    };
    apply(action->isChecked());
    connect(action, &QAction::toggled, this, [this, apply](bool on) {
        guarded([&] {
            apply(on);
            settingsFile().writeBool(kSettingsSection, kLargeNotesKey, on);
        });
    });
}

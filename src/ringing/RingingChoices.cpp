#include "ringing/RingingChoices.h"

#include "base/FailureGuard.h"
#include "base/Logging.h"
#include "bells/Ensemble.h"
#include "ringing/RingingChoicesHost.h"
#include "ringing/SelectorKeyFilter.h"
#include "ringing/TChannels.h"
#include "ringing/TSoundData.h"
#include "ui/ControlHints.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <functional>

namespace {

// After a common choice the list takes no further choice for this long.
constexpr int kCommonChoicePauseMs = 150;

using Ranges = RingingChoicesHost::Ranges;

// Selected bells of a group; the ensemble stores the groups as 1..3.
int groupCount(const Ensemble& ensemble, BellGroup group) {
    return ensemble.groupCount(ensembleGroupNumber(group));
}

// The catalogue's group lists and the working set's group scores are
// numbered as the groups are.
static_assert(TSoundData::kSmallList == groupIndex(BellGroup::Small) &&
              TSoundData::kMiddleList == groupIndex(BellGroup::Middle) &&
              TSoundData::kBigList == groupIndex(BellGroup::Big));
static_assert(TChannels::kGroupCount == kGroupCount);

// A choice the user takes back (to keep the edited ringing) puts the list
// back as it was: each list remembers the item it showed before its latest
// change, and whether it changed since its last choice.
void rememberPrevious(QComboBox* box) {
    box->setProperty("shownIndex", box->currentIndex());
    QObject::connect(box, &QComboBox::currentIndexChanged, box, [box](int index) {
        box->setProperty("previousIndex", box->property("shownIndex"));
        box->setProperty("shownIndex", index);
        box->setProperty("changedSinceChoice", true);
    });
}

bool changedSinceChoice(QComboBox* box) {
    const bool changed = box->property("changedSinceChoice").toBool();
    box->setProperty("changedSinceChoice", false);
    return changed;
}

void takeBackChoice(QComboBox* box, bool changed) {
    if (changed) {
        const int previous = box->property("previousIndex").toInt();
        const QSignalBlocker quiet(box);
        box->setCurrentIndex(previous);
        box->setProperty("shownIndex", previous);
    }
}

// A handler that fails ends, logged, and leaves the earlier state.
void guardedHandler(const std::function<void()>& handler) {
    guarded(lcRinging, "ringing choice", handler);
}

} // namespace

RingingChoices::RingingChoices(const Controls& controls, RingingChoicesHost& host, QObject* parent)
    : QObject(parent), m_controls(controls), m_host(host) {
    if (m_controls.common) {
        rememberPrevious(m_controls.common);
    }
}

// ---- the group selectors ----

void RingingChoices::createGroupSelectors() {
    if (!m_selectorKeyFilter) {
        m_selectorKeyFilter = new SelectorKeyFilter(this);
    }
    for (int g = 0; g < kGroupCount; ++g) {
        if (m_groupSelectors[static_cast<size_t>(g)]) {
            continue;
        }
        auto* selector = new QComboBox(m_controls.selectorsPanel);
        selector->setObjectName(QStringLiteral("cbCustomSelection%1").arg(g));
        selector->setProperty("tag", g);
        selector->setEditable(false);
        selector->addItem(kNoRingingItem);
        selector->setEnabled(false);
        selector->setToolTip(hints::kGroupRinging[static_cast<size_t>(g)]);
        selector->installEventFilter(m_selectorKeyFilter);
        rememberPrevious(selector);
        connect(selector, &QComboBox::activated, this,
                [this, g] { guardedHandler([this, g] { cbCustomSelectionChange(g); }); });
        selector->show();
        m_groupSelectors[static_cast<size_t>(g)] = selector;
    }
    layoutGroupSelectors();
}

void RingingChoices::releaseGroupSelectors() {
    for (QComboBox*& selector : m_groupSelectors) {
        delete selector;
        selector = nullptr;
    }
}

void RingingChoices::layoutGroupSelectors() {
    QWidget* panel = m_controls.selectorsPanel;
    if (!panel) {
        return;
    }
    const int width = std::max(20, panel->contentsRect().width() - 8);
    // The bands lie in another panel of the same window: both are mapped
    // through the window.
    const QWidget* window = panel->window();
    for (int g = 0; g < kGroupCount; ++g) {
        QComboBox* selector = groupSelector(g);
        const QWidget* band = m_controls.bands[static_cast<size_t>(g)];
        if (!selector || !band || band->window() != window) {
            continue;
        }
        // Level with the group's band.
        const QPoint bandTop = band->mapTo(window, QPoint(0, 0));
        const int top = panel->mapFrom(window, bandTop).y() + 2;
        selector->setGeometry(4, std::max(0, top), width, selector->sizeHint().height());
    }
}

QComboBox* RingingChoices::groupSelector(int group) const {
    return group >= 0 && group < kGroupCount ? m_groupSelectors[static_cast<size_t>(group)] : nullptr;
}

void RingingChoices::setGroupSelectorsToNone() {
    // setCurrentIndex does not run the handlers: they are bound to activated.
    for (QComboBox* selector : m_groupSelectors) {
        if (selector) {
            selector->setCurrentIndex(0);
        }
    }
}

// ---- filling ----

void RingingChoices::FillCommonChoice() {
    ++m_commonFillCount;
    // The same index may now name another ringing: no place is kept across a refill.
    m_rememberedChoice = -1;
    QComboBox* common = m_controls.common;
    common->setEnabled(false);
    common->clear();
    TSoundData* catalogue = m_host.catalogue();
    if (!catalogue) {
        return;
    }
    catalogue->offered(TSoundData::kCommonList).clear();
    const Ensemble& ensemble = m_host.ensemble();
    const TSoundData::Offer offer =
        catalogue->commonOffer(groupCount(ensemble, BellGroup::Small),
                               groupCount(ensemble, BellGroup::Middle), groupCount(ensemble, BellGroup::Big));
    common->addItems(offer.names);
    catalogue->offered(TSoundData::kCommonList) = offer.files;
    if (!offer.complete) {
        // A requirement that cannot be read ends the filling there.
        return;
    }
    common->setEnabled(common->count() > 0);
    common->insertItem(0, kNoRingingItem);
    common->setCurrentIndex(0);
    m_host.followCommonChoice(0);
}

void RingingChoices::FillGroupChoices() {
    TSoundData* catalogue = m_host.catalogue();
    if (!catalogue) {
        return;
    }
    const Ensemble& ensemble = m_host.ensemble();
    for (int g = 0; g < kGroupCount; ++g) {
        QComboBox* selector = groupSelector(g);
        if (!selector) {
            return;
        }
        selector->setEnabled(false);
        selector->clear();
        const TSoundData::Offer offer = catalogue->groupOffer(g, groupCount(ensemble, groupAt(g)));
        selector->addItems(offer.names);
        catalogue->offered(g) = offer.files;
        selector->setEnabled(selector->count() > 0);
        selector->insertItem(0, kNoRingingItem);
        selector->setCurrentIndex(0);
    }
}

void RingingChoices::ClearChoices() {
    // setCurrentIndex does not run the handlers: they are bound to activated.
    m_controls.common->setCurrentIndex(0);
    m_host.followCommonChoice(0);
    setGroupSelectorsToNone();
}

// ---- choosing ----

void RingingChoices::cbCommonChange() {
    QComboBox* common = m_controls.common;
    const bool changed = changedSinceChoice(common);
    if (!m_host.mayReplaceRinging()) {
        takeBackChoice(common, changed);
        return;
    }
    m_host.endRecording();
    // A short pause in which the list takes no further choice.
    common->setEnabled(false);
    const int fillCount = m_commonFillCount;
    QTimer::singleShot(kCommonChoicePauseMs, this, [this, fillCount] {
        if (fillCount == m_commonFillCount) {
            m_controls.common->setEnabled(true);
            m_controls.common->setFocus();
        }
    });
    m_rememberedColumn = m_host.currentColumn();
    const int chosen = common->currentIndex();
    if (chosen <= 0) {
        m_host.showNoRinging();
        m_host.resetPlayback();
        m_host.applyRingingRanges(Ranges::CommonChoice);
    } else {
        m_host.showRingingName(common->itemText(chosen));
        m_host.setGroupRingingMode(false);
        setGroupSelectorsToNone();
        m_host.resetPlayback();
        const TSoundData* catalogue = m_host.catalogue();
        const QStringList offered = catalogue ? catalogue->offered(TSoundData::kCommonList) : QStringList();
        if (chosen - 1 < offered.size()) {
            m_host.loadRinging(TChannels::kCommonScore, m_host.campanelDir() + offered.at(chosen - 1));
        }
        m_host.applyRingingRanges(Ranges::CommonChoice);
        if (chosen == m_rememberedChoice && m_rememberedColumn < commonScoreSize()) {
            // The same ringing again: keep the place (playback stays stopped).
            m_host.restorePlayPlace(std::max(0, m_rememberedColumn));
        }
    }
    m_rememberedChoice = chosen;
    m_host.uncheckPlayInTurn();
    if (m_host.notesShown()) {
        m_host.redrawScore();
    }
    m_host.followCommonChoice(chosen);
}

void RingingChoices::cbCustomSelectionChange(int group) {
    QComboBox* selector = groupSelector(group);
    if (!selector) {
        return;
    }
    const bool changed = changedSinceChoice(selector);
    if (!m_host.mayReplaceRinging()) {
        takeBackChoice(selector, changed);
        return;
    }
    m_host.endRecording();
    m_host.showNoRinging();
    const int chosen = selector->currentIndex();
    if (chosen <= 0) {
        // This group falls silent; the others keep their ringings.
        TChannels& channels = m_host.channels();
        channels.score(group).clear();
        channels.MergeGroupScores();
    } else {
        m_controls.common->setCurrentIndex(0);
        m_host.followCommonChoice(0);
        if (!m_host.groupRingingMode()) {
            // The first group ringing after a common one starts from empty scores.
            m_host.setGroupRingingMode(true);
            m_host.keepGeneratorOnNextReset();
            m_host.resetPlayback();
        }
        const TSoundData* catalogue = m_host.catalogue();
        const QStringList offered = catalogue ? catalogue->offered(group) : QStringList();
        if (chosen - 1 < offered.size()) {
            m_host.loadRinging(group, m_host.campanelDir() + offered.at(chosen - 1));
        }
    }
    // The ranges change without moving the playing column: a slider clamped
    // to the shorter range is no seek.
    m_host.applyRingingRanges(Ranges::GroupChoice);
    m_host.setCurrentPage(0);
    if (m_host.notesShown()) {
        m_host.redrawScore();
    }
    m_host.uncheckPlayInTurn();
}

// ---- the working scores ----

QString RingingChoices::commonScoreLine(int column) const {
    const QStringList& common = m_host.channels().common();
    return column >= 0 && column < common.size() ? common.at(column) : QString();
}

int RingingChoices::commonScoreSize() const {
    return static_cast<int>(m_host.channels().common().size());
}

bool RingingChoices::isGroupAnimated(int group) const {
    return m_host.channels().isGroupAnimated(group);
}

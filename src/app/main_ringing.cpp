// Handlers of the ringing catalogue choices: cbCommon, the three group
// ringing selectors and the filters that fill them from the group counts.

#include "app/TfrmMain.h"
#include "base/WindowCaptions.h"
#include "ringing/SelectorKeyFilter.h"
#include "ringing/TfrmSelSound.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>

namespace {


} // namespace

void TfrmMain::FillCommonChoice() {
    ++m_commonFillCount;
    // The same index may now name another ringing: no place is kept across a refill.
    m_transport.rememberedChoice = -1;
    cbCommon->setEnabled(false);
    cbCommon->clear();
    m_soundData->offered(TSoundData::kCommonList).clear();
    const TSoundData::Offer offer =
        m_soundData->commonOffer(m_ensemble.groupCount(kSmallGroup), m_ensemble.groupCount(kMiddleGroup),
                                 m_ensemble.groupCount(kBigGroup));
    cbCommon->addItems(offer.names);
    m_soundData->offered(TSoundData::kCommonList) = offer.files;
    if (!offer.complete) {
        // A requirement that cannot be read ends the filling there.
        return;
    }
    cbCommon->setEnabled(cbCommon->count() > 0);
    cbCommon->insertItem(0, kNoRingingItem);
    cbCommon->setCurrentIndex(0);
    if (cbFullCommon->count() > 0) {
        cbFullCommon->setCurrentIndex(0);
    }
}

void TfrmMain::FillGroupChoices() {
    const int groupCodes[] = {kSmallGroup, kMiddleGroup, kBigGroup};
    for (int g = 0; g < TChannels::kGroupCount; ++g) {
        QComboBox* selector = groupSelector(g);
        if (!selector) {
            return;
        }
        selector->setEnabled(false);
        selector->clear();
        const TSoundData::Offer offer = m_soundData->groupOffer(g, m_ensemble.groupCount(groupCodes[g]));
        selector->addItems(offer.names);
        m_soundData->offered(g) = offer.files;
        selector->setEnabled(selector->count() > 0);
        selector->insertItem(0, kNoRingingItem);
        selector->setCurrentIndex(0);
    }
}

void TfrmMain::ClearChoices() {
    // setCurrentIndex does not run the handlers: they are bound to activated.
    cbCommon->setCurrentIndex(0);
    if (cbFullCommon->count() > 0) {
        cbFullCommon->setCurrentIndex(0);
    }
    for (QComboBox* selector : m_groupSelectors) {
        if (selector) {
            selector->setCurrentIndex(0);
        }
    }
}

void TfrmMain::cbCommonChange() {
    EndRecording();
    // A short pause in which the list takes no further choice.
    cbCommon->setEnabled(false);
    const int fillCount = m_commonFillCount;
    QTimer::singleShot(150, this, [this, fillCount] {
        if (fillCount == m_commonFillCount) {
            cbCommon->setEnabled(true);
            cbCommon->setFocus();
        }
    });
    m_transport.rememberedColumn = m_transport.currentColumn;
    const int chosen = cbCommon->currentIndex();
    if (chosen <= 0) {
        setWindowTitle(captions::kNoRinging);
        ResetPlayback();
        applyRingingRanges(transport::RingingLoader::CommonChoice);
    } else {
        setCaptionForRinging(cbCommon->itemText(chosen));
        m_transport.groupRingingMode = false;
        for (QComboBox* selector : m_groupSelectors) {
            if (selector) {
                selector->setCurrentIndex(0);
            }
        }
        ResetPlayback();
        const QStringList& offered = m_soundData->offered(TSoundData::kCommonList);
        if (chosen - 1 < offered.size()) {
            LoadRinging(TChannels::kCommonScore, m_paths->campanelDir() + offered.at(chosen - 1));
        }
        applyRingingRanges(transport::RingingLoader::CommonChoice);
        if (chosen == m_transport.rememberedChoice && m_transport.rememberedColumn < commonScoreSize()) {
            // The same ringing again: keep the place (playback stays stopped).
            restorePlayPlace(std::max(0, m_transport.rememberedColumn));
        }
    }
    m_transport.rememberedChoice = chosen;
    uncheckPlayInTurn();
    if (cbShowNotes->isChecked()) {
        RedrawScore();
    }
    if (chosen < cbFullCommon->count()) {
        cbFullCommon->setCurrentIndex(chosen);
    }
}

void TfrmMain::cbCustomSelectionChange(int group) {
    QComboBox* selector = groupSelector(group);
    if (!selector) {
        return;
    }
    EndRecording();
    setWindowTitle(captions::kNoRinging);
    const int chosen = selector->currentIndex();
    if (chosen <= 0) {
        // This group falls silent; the others keep their ringings.
        m_channels->score(group).clear();
        m_channels->MergeGroupScores();
    } else {
        cbCommon->setCurrentIndex(0);
        if (cbFullCommon->count() > 0) {
            cbFullCommon->setCurrentIndex(0);
        }
        if (!m_transport.groupRingingMode) {
            // The first group ringing after a common one starts from empty scores.
            m_transport.groupRingingMode = true;
            m_transport.keepGenerator = true;
            ResetPlayback();
        }
        const QStringList& offered = m_soundData->offered(group);
        if (chosen - 1 < offered.size()) {
            LoadRinging(group, m_paths->campanelDir() + offered.at(chosen - 1));
        }
    }
    // The ranges change without moving the playing column: a slider clamped
    // to the shorter range is no seek.
    applyRingingRanges(transport::RingingLoader::GroupChoice);
    m_transport.currentPage = 0;
    if (cbShowNotes->isChecked()) {
        RedrawScore();
    }
    uncheckPlayInTurn();
}

QComboBox* TfrmMain::groupSelector(int group) const {
    return group >= 0 && group < TChannels::kGroupCount ? m_groupSelectors[static_cast<size_t>(group)]
                                                        : nullptr;
}

void TfrmMain::createGroupSelectors() {
    m_selectorKeyFilter = new SelectorKeyFilter(this);
    for (int g = 0; g < TChannels::kGroupCount; ++g) {
        auto* selector = new QComboBox(pnlCustomSelections);
        selector->setObjectName(QStringLiteral("cbCustomSelection%1").arg(g));
        selector->setProperty("tag", g);
        selector->setEditable(false);
        selector->addItem(kNoRingingItem);
        selector->setEnabled(false);
        selector->installEventFilter(m_selectorKeyFilter);
        connect(selector, &QComboBox::activated, this,
                [this, g] { guarded([this, g] { cbCustomSelectionChange(g); }); });
        selector->show();
        m_groupSelectors[static_cast<size_t>(g)] = selector;
    }
    layoutGroupSelectors();
}

void TfrmMain::layoutGroupSelectors() {
    const QWidget* bands[] = {pnlSmall, pnlMiddle, pnlBig};
    const int width = std::max(20, pnlCustomSelections->contentsRect().width() - 8);
    for (int g = 0; g < TChannels::kGroupCount; ++g) {
        QComboBox* selector = groupSelector(g);
        if (!selector) {
            continue;
        }
        // Level with the group's band, whose panel lies beside this one.
        const QPoint bandTop = bands[g]->mapTo(pnlWork, QPoint(0, 0));
        const int top = pnlCustomSelections->mapFrom(pnlWork, bandTop).y() + 2;
        selector->setGeometry(4, std::max(0, top), width, selector->sizeHint().height());
    }
}

QString TfrmMain::commonScoreLine(int column) const {
    if (!m_channels || column < 0 || column >= m_channels->common().size()) {
        return {};
    }
    return m_channels->common().at(column);
}

int TfrmMain::commonScoreSize() const {
    return m_channels ? static_cast<int>(m_channels->common().size()) : 0;
}

bool TfrmMain::isGroupAnimated(int group) const {
    return !m_channels || m_channels->isGroupAnimated(group);
}

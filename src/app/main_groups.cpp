// Handlers of the group distributions: the variant buttons, the message,
// the groups tree with its drag and drop, and its popup menu.

#include "app/TfrmMain.h"
#include "bells/BellIcon.h"
#include "input/EventHook.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>

namespace {

const char* const kRootCaptions[] = {"Малые колокола", "Средние колокола", "Большие колокола"};
// Root i of the tree holds the bells of this group.
constexpr int kRootGroups[] = {kSmallGroup, kMiddleGroup, kBigGroup};
constexpr int kMessageMinimumHeight = 48;

} // namespace

// ---- the distributions ----

void TfrmMain::fillDistributions() {
    // The table itself is fixed; a new start begins at the first variant.
    m_distributions = Distributions();
    m_variant = 0;
}

void TfrmMain::RecomputeGroups() {
    showDistributionsMessage();
    btnGPrev->setEnabled(false);
    btnGNext->setEnabled(false);
    m_distributions.assign(m_ensemble, m_variant);
    setNavigationButtons();
    rebuildGroupsTree();
    groupsChanged();
}

void TfrmMain::groupsChanged() {
    // Every change of the groups refills the ringing choices and resets playback.
    FillCommonChoice();
    FillGroupChoices();
    ResetPlayback();
}

void TfrmMain::showDistributionsMessage() {
    mDesc->setPlainText(m_distributions.message(m_ensemble.selectedCount()));
    fitDistributionsMessage();
}

void TfrmMain::fitDistributionsMessage() {
    // The memo grows to show the whole message in the narrow groups panel.
    const int margins = 2 * mDesc->frameWidth() + 2 * qRound(mDesc->document()->documentMargin());
    const int textWidth = std::max(40, mDesc->width() - margins);
    const QRect needed = mDesc->fontMetrics().boundingRect(QRect(0, 0, textWidth, 10000), Qt::TextWordWrap,
                                                           mDesc->toPlainText());
    mDesc->setFixedHeight(std::max(kMessageMinimumHeight, needed.height() + margins + 2));
}

void TfrmMain::setNavigationButtons() {
    const Distributions::Navigation nav = m_distributions.navigation(m_ensemble.selectedCount(), m_variant);
    btnGPrev->setEnabled(nav.previous);
    btnGNext->setEnabled(nav.next);
}

void TfrmMain::btnGPrevClick() {
    if (!btnGPrev->isEnabled() || m_variant <= 0) {
        return;
    }
    --m_variant;
    RecomputeGroups();
    ResetPlayback();
}

void TfrmMain::btnGNextClick() {
    if (!btnGNext->isEnabled() || m_variant >= Distributions::kSlots - 1) {
        return;
    }
    ++m_variant;
    RecomputeGroups();
    ResetPlayback();
}

// ---- the groups tree ----

void TfrmMain::rebuildGroupsTree() {
    tvGroups->clear();
    m_groupRoots.fill(nullptr);
    // The picture of the "add bell" items, drawn once when the menu was built.
    const QIcon icon = nAdd->icon().isNull() ? bellIcon() : nAdd->icon();
    auto bellNode = [&](int bell) {
        auto* node = new QTreeWidgetItem(QStringList{bellDisplayName(bell)});
        node->setIcon(0, icon);
        node->setToolTip(0, bellCaption(bell));
        return node;
    };
    if (m_ensemble.selectedCount() >= Distributions::kMinimumBells) {
        tvGroups->setDragEnabled(true);
        for (int r = 0; r < 3; ++r) {
            auto* root = new QTreeWidgetItem(QStringList{QString::fromUtf8(kRootCaptions[r])});
            root->setFlags(root->flags() & ~Qt::ItemIsDragEnabled);
            QFont font = root->font(0);
            font.setBold(true);
            root->setFont(0, font);
            tvGroups->addTopLevelItem(root);
            m_groupRoots[r] = root;
        }
        for (int bell = kBellCount - 1; bell >= 0; --bell) {
            const int group = m_ensemble.group(bell);
            if (!m_ensemble.isSelected(bell) || group == kNoGroup) {
                continue;
            }
            for (int r = 0; r < 3; ++r) {
                if (kRootGroups[r] == group) {
                    m_groupRoots[r]->addChild(bellNode(bell));
                }
            }
        }
    } else {
        tvGroups->setDragEnabled(false);
        for (int bell = kBellCount - 1; bell >= 0; --bell) {
            if (m_ensemble.isSelected(bell)) {
                tvGroups->addTopLevelItem(bellNode(bell));
            }
        }
    }
    tvGroups->expandAll();
}

int TfrmMain::groupOfRoot(const QTreeWidgetItem* item) const {
    for (int r = 0; r < 3; ++r) {
        if (item && item == m_groupRoots[r]) {
            return kRootGroups[r];
        }
    }
    return kNoGroup;
}

std::optional<int> TfrmMain::selectedRootGroup() const {
    const QTreeWidgetItem* node = tvGroups->currentItem();
    if (!node || !node->isSelected()) {
        return std::nullopt;
    }
    const int group = groupOfRoot(node->parent() ? node->parent() : node);
    return group == kNoGroup ? std::nullopt : std::optional<int>(group);
}

bool TfrmMain::groupsTreeEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        guarded([&] { tvGroupsMouseDown(static_cast<QMouseEvent*>(event)->position().toPoint()); });
        return false; // the tree goes on to select and start a drag
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        bool accepted = false;
        guarded([&] { accepted = tvGroupsDragOver(drag->source(), drag->position().toPoint()); });
        if (accepted) {
            // A copy, so the tree never removes the dragged node itself.
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
        } else {
            drag->ignore();
        }
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        bool accepted = false;
        guarded([&] {
            const QPoint pos = drop->position().toPoint();
            accepted = tvGroupsDragOver(drop->source(), pos);
            tvGroupsDragDrop(drop->source(), pos);
        });
        if (accepted) {
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
        } else {
            drop->ignore();
        }
        return true;
    }
    default:
        return false;
    }
}

void TfrmMain::tvGroupsMouseDown(const QPoint& pos) {
    QTreeWidgetItem* node = tvGroups->itemAt(pos);
    tvGroups->setCurrentItem(node);
    if (!node) {
        tvGroups->clearSelection();
    }
    m_draggedBell = -1;
    if (!node || !m_bellData) {
        return;
    }
    const int bell = m_bellData->FindByName(node->text(0));
    if (bell >= 0) {
        // Only a bell node can be dragged; roots never match a bell's name.
        m_draggedBell = groupOfRoot(node) == kNoGroup ? bell : -1;
        HandStrike(bell);
    }
}

bool TfrmMain::tvGroupsDragOver(QObject* source, const QPoint& pos) {
    if (source != tvGroups || m_draggedBell < 0) {
        return false;
    }
    const int group = groupOfRoot(tvGroups->itemAt(pos));
    return group != kNoGroup && GroupLimits::canTake(m_ensemble, m_draggedBell, group);
}

void TfrmMain::tvGroupsDragDrop(QObject* source, const QPoint& pos) {
    if (!tvGroupsDragOver(source, pos)) {
        return;
    }
    m_ensemble.setGroup(m_draggedBell, groupOfRoot(tvGroups->itemAt(pos)));
    m_draggedBell = -1;
    rebuildGroupsTree();
    groupsChanged();
}

// ---- the popup menu ----

void TfrmMain::buildAddBellMenu() {
    const QIcon icon = bellIcon();
    nAdd->setIcon(icon);
    nAdd->clear();
    m_addBellItems.clear();
    for (int bell = 0; bell < kBellCount; ++bell) {
        QAction* item = nAdd->addAction(icon, bellDisplayName(bell));
        item->setObjectName(QStringLiteral("nAddBell%1").arg(bell));
        connect(item, &QAction::triggered, this,
                [this, bell] { guarded([this, bell] { nAddBellClick(bell); }); });
        m_addBellItems.append(item);
    }
    // The tree's mouse, drag and popup handling.
    tvGroups->setDragDropMode(QAbstractItemView::DragDrop);
    tvGroups->setDefaultDropAction(Qt::CopyAction);
    tvGroups->setDropIndicatorShown(false);
    tvGroups->setSelectionMode(QAbstractItemView::SingleSelection);
    mDesc->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mDesc->installEventFilter(new EventHook(
        [this](QObject*, QEvent* event) {
            if (event->type() == QEvent::Resize) {
                guarded([this] { fitDistributionsMessage(); });
            }
            return false;
        },
        mDesc));
    // Room for the longer bell names in the narrow panel.
    tvGroups->setIndentation(12);
    tvGroups->viewport()->installEventFilter(
        new EventHook([this](QObject*, QEvent* event) { return groupsTreeEvent(event); }, tvGroups));
    connect(tvGroups, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { mPopup->popup(tvGroups->viewport()->mapToGlobal(pos)); });
}

QAction* TfrmMain::addBellItem(int bell) const {
    return (bell >= 0 && bell < m_addBellItems.size()) ? m_addBellItems.at(bell) : nullptr;
}

void TfrmMain::mPopupPopup() {
    const std::optional<int> root = selectedRootGroup();
    for (int bell = 0; bell < m_addBellItems.size(); ++bell) {
        m_addBellItems.at(bell)->setEnabled(GroupLimits::canAdd(m_ensemble, bell, root));
    }
}

void TfrmMain::nDeleteClick() {
    QTreeWidgetItem* node = tvGroups->currentItem();
    if (!node || !node->isSelected() || !m_bellData) {
        return;
    }
    const bool flat = m_ensemble.selectedCount() < Distributions::kMinimumBells;
    if (!flat && !node->parent()) {
        return; // a group root
    }
    const int bell = m_bellData->FindByName(node->text(0));
    if (bell < 0) {
        return;
    }
    m_ensemble.setSelected(bell, false);
    m_ensemble.setGroup(bell, kNoGroup);
    loadBellPicture(bell);
    afterGroupsEdit();
}

void TfrmMain::nAddBellClick(int bell) {
    if (bell < 0 || bell >= kBellCount || m_ensemble.isSelected(bell)) {
        return;
    }
    if (m_ensemble.selectedCount() < Distributions::kMinimumBells) {
        ToggleBell(bell);
        return;
    }
    const std::optional<int> root = selectedRootGroup();
    if (!root || !GroupLimits::canAdd(m_ensemble, bell, root)) {
        return;
    }
    m_ensemble.setSelected(bell, true);
    m_ensemble.setGroup(bell, *root);
    loadBellPicture(bell);
    afterGroupsEdit();
}

void TfrmMain::afterGroupsEdit() {
    // Hand-made groups survive: no recomputation. Below five bells there are
    // no groups at all.
    if (m_ensemble.selectedCount() < Distributions::kMinimumBells) {
        for (int i = 0; i < kBellCount; ++i) {
            m_ensemble.setGroup(i, kNoGroup);
        }
    }
    m_variant = 0;
    showDistributionsMessage();
    rebuildGroupsTree();
    setNavigationButtons();
    ShowBellCount();
    groupsChanged();
}

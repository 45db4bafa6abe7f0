#include "bells/GroupsPanel.h"

#include "base/FailureGuard.h"
#include "base/Logging.h"
#include "bells/BellIcon.h"
#include "bells/Ensemble.h"
#include "bells/GroupsHost.h"
#include "input/EventHook.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>
#include <functional>

namespace {

// Indexed by BellGroup.
const std::array<const char*, kGroupCount> kRootCaptions = {"Малые колокола", "Средние колокола",
                                                            "Большие колокола"};
constexpr int kMessageMinimumHeight = 48;

// The ensemble's group code of root `index` of the tree.
constexpr int rootGroupCode(int index) {
    return ensembleGroupNumber(groupAt(index));
}

// A handler that fails ends, logged, and leaves the earlier state.
void guardedHandler(const std::function<void()>& handler) {
    guarded(lcBells, "groups panel handler", handler);
}

} // namespace

GroupsPanel::GroupsPanel(const Controls& controls, GroupsHost& host, QObject* parent)
    : QObject(parent), m_controls(controls), m_host(host) {}

// ---- the distributions ----

void GroupsPanel::fillDistributions() {
    // The table itself is fixed; a new start begins at the first variant.
    m_distributions = Distributions();
    m_variant = 0;
}

void GroupsPanel::RecomputeGroups() {
    showDistributionsMessage();
    m_controls.previous->setEnabled(false);
    m_controls.next->setEnabled(false);
    m_distributions.assign(m_host.ensemble(), m_variant);
    setNavigationButtons();
    rebuildGroupsTree();
    m_host.groupsChanged();
}

void GroupsPanel::showEnsembleGroups() {
    rebuildGroupsTree();
    setNavigationButtons();
    m_host.groupsChanged();
    showDistributionsMessage();
}

void GroupsPanel::showDistributionsMessage() {
    m_controls.message->setPlainText(m_distributions.message(m_host.ensemble().selectedCount()));
    fitDistributionsMessage();
}

void GroupsPanel::fitDistributionsMessage() {
    // The memo grows to show the whole message in the narrow groups panel.
    QPlainTextEdit* memo = m_controls.message;
    const int margins = 2 * memo->frameWidth() + 2 * qRound(memo->document()->documentMargin());
    const int textWidth = std::max(40, memo->width() - margins);
    const QRect needed = memo->fontMetrics().boundingRect(QRect(0, 0, textWidth, 10000), Qt::TextWordWrap,
                                                          memo->toPlainText());
    memo->setFixedHeight(std::max(kMessageMinimumHeight, needed.height() + margins + 2));
}

void GroupsPanel::setNavigationButtons() {
    const Distributions::Navigation nav =
        m_distributions.navigation(m_host.ensemble().selectedCount(), m_variant);
    m_controls.previous->setEnabled(nav.previous);
    m_controls.next->setEnabled(nav.next);
}

void GroupsPanel::btnGPrevClick() {
    if (!m_controls.previous->isEnabled() || m_variant <= 0 || !m_host.mayReplaceRinging()) {
        return;
    }
    --m_variant;
    RecomputeGroups();
    m_host.resetPlayback();
}

void GroupsPanel::btnGNextClick() {
    if (!m_controls.next->isEnabled() || m_variant >= Distributions::kSlots - 1 ||
        !m_host.mayReplaceRinging()) {
        return;
    }
    ++m_variant;
    RecomputeGroups();
    m_host.resetPlayback();
}

// ---- the groups tree ----

void GroupsPanel::rebuildGroupsTree() {
    QTreeWidget* tree = m_controls.tree;
    const Ensemble& ensemble = m_host.ensemble();
    tree->clear();
    m_groupRoots.fill(nullptr);
    // The picture of the "add bell" items, drawn once when the menu was built.
    const QIcon icon = m_controls.addBell->icon().isNull() ? bellIcon() : m_controls.addBell->icon();
    auto bellNode = [&](int bell) {
        auto* node = new QTreeWidgetItem(QStringList{m_host.bellDisplayName(bell)});
        node->setIcon(0, icon);
        node->setToolTip(0, bellCaption(bell));
        return node;
    };
    if (ensemble.selectedCount() >= Distributions::kMinimumBells) {
        tree->setDragEnabled(true);
        for (int r = 0; r < kGroupCount; ++r) {
            auto* root = new QTreeWidgetItem(QStringList{QString::fromUtf8(kRootCaptions[r])});
            root->setFlags(root->flags() & ~Qt::ItemIsDragEnabled);
            QFont font = root->font(0);
            font.setBold(true);
            root->setFont(0, font);
            tree->addTopLevelItem(root);
            m_groupRoots[r] = root;
        }
        for (int bell = kBellCount - 1; bell >= 0; --bell) {
            const int group = ensemble.group(bell);
            if (!ensemble.isSelected(bell) || group == kNoGroup) {
                continue;
            }
            for (int r = 0; r < kGroupCount; ++r) {
                if (rootGroupCode(r) == group) {
                    m_groupRoots[r]->addChild(bellNode(bell));
                }
            }
        }
    } else {
        tree->setDragEnabled(false);
        for (int bell = kBellCount - 1; bell >= 0; --bell) {
            if (ensemble.isSelected(bell)) {
                tree->addTopLevelItem(bellNode(bell));
            }
        }
    }
    tree->expandAll();
}

int GroupsPanel::groupOfRoot(const QTreeWidgetItem* item) const {
    for (int r = 0; r < kGroupCount; ++r) {
        if (item && item == m_groupRoots[r]) {
            return rootGroupCode(r);
        }
    }
    return kNoGroup;
}

std::optional<int> GroupsPanel::selectedRootGroup() const {
    const QTreeWidgetItem* node = m_controls.tree->currentItem();
    if (!node || !node->isSelected()) {
        return std::nullopt;
    }
    const int group = groupOfRoot(node->parent() ? node->parent() : node);
    return group == kNoGroup ? std::nullopt : std::optional<int>(group);
}

bool GroupsPanel::groupsTreeEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        guardedHandler([&] { tvGroupsMouseDown(static_cast<QMouseEvent*>(event)->position().toPoint()); });
        return false; // the tree goes on to select and start a drag
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        bool accepted = false;
        guardedHandler([&] { accepted = tvGroupsDragOver(drag->source(), drag->position().toPoint()); });
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
        guardedHandler([&] {
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

void GroupsPanel::tvGroupsMouseDown(const QPoint& pos) {
    QTreeWidget* tree = m_controls.tree;
    QTreeWidgetItem* node = tree->itemAt(pos);
    tree->setCurrentItem(node);
    if (!node) {
        tree->clearSelection();
    }
    m_draggedBell = -1;
    if (!node) {
        return;
    }
    const int bell = m_host.findBellByName(node->text(0));
    if (bell >= 0) {
        // Only a bell node can be dragged; roots never match a bell's name.
        m_draggedBell = groupOfRoot(node) == kNoGroup ? bell : -1;
        m_host.handStrike(bell);
    }
}

bool GroupsPanel::tvGroupsDragOver(QObject* source, const QPoint& pos) {
    if (source != m_controls.tree || m_draggedBell < 0) {
        return false;
    }
    const int group = groupOfRoot(m_controls.tree->itemAt(pos));
    return group != kNoGroup && GroupLimits::canTake(m_host.ensemble(), m_draggedBell, group);
}

void GroupsPanel::tvGroupsDragDrop(QObject* source, const QPoint& pos) {
    if (!tvGroupsDragOver(source, pos) || !m_host.mayReplaceRinging()) {
        return;
    }
    m_host.ensemble().setGroup(m_draggedBell, groupOfRoot(m_controls.tree->itemAt(pos)));
    m_draggedBell = -1;
    rebuildGroupsTree();
    m_host.groupsChanged();
}

// ---- the popup menu ----

void GroupsPanel::buildAddBellMenu() {
    QTreeWidget* tree = m_controls.tree;
    QPlainTextEdit* memo = m_controls.message;
    const QIcon icon = bellIcon();
    m_controls.addBell->setIcon(icon);
    m_controls.addBell->clear();
    m_addBellItems.clear();
    for (int bell = 0; bell < kBellCount; ++bell) {
        QAction* item = m_controls.addBell->addAction(icon, m_host.bellDisplayName(bell));
        item->setObjectName(QStringLiteral("nAddBell%1").arg(bell));
        connect(item, &QAction::triggered, this,
                [this, bell] { guardedHandler([this, bell] { nAddBellClick(bell); }); });
        m_addBellItems.append(item);
    }
    // The tree's mouse, drag and popup handling.
    tree->setDragDropMode(QAbstractItemView::DragDrop);
    tree->setDefaultDropAction(Qt::CopyAction);
    tree->setDropIndicatorShown(false);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->installEventFilter(new EventHook(
        [this](QObject*, QEvent* event) {
            if (event->type() == QEvent::Resize) {
                guardedHandler([this] { fitDistributionsMessage(); });
            }
            return false;
        },
        memo));
    // Room for the longer bell names in the narrow panel.
    tree->setIndentation(12);
    tree->viewport()->installEventFilter(
        new EventHook([this](QObject*, QEvent* event) { return groupsTreeEvent(event); }, tree));
    connect(tree, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        m_controls.popup->popup(m_controls.tree->viewport()->mapToGlobal(pos));
    });
}

void GroupsPanel::removeEventHooks() {
    qDeleteAll(m_controls.tree->findChildren<EventHook*>(Qt::FindDirectChildrenOnly));
    qDeleteAll(m_controls.message->findChildren<EventHook*>(Qt::FindDirectChildrenOnly));
}

QAction* GroupsPanel::addBellItem(int bell) const {
    return (bell >= 0 && bell < m_addBellItems.size()) ? m_addBellItems.at(bell) : nullptr;
}

void GroupsPanel::mPopupPopup() {
    const std::optional<int> root = selectedRootGroup();
    for (int bell = 0; bell < m_addBellItems.size(); ++bell) {
        m_addBellItems.at(bell)->setEnabled(GroupLimits::canAdd(m_host.ensemble(), bell, root));
    }
}

void GroupsPanel::nDeleteClick() {
    QTreeWidgetItem* node = m_controls.tree->currentItem();
    if (!node || !node->isSelected()) {
        return;
    }
    Ensemble& ensemble = m_host.ensemble();
    const bool flat = ensemble.selectedCount() < Distributions::kMinimumBells;
    if (!flat && !node->parent()) {
        return; // a group root
    }
    const int bell = m_host.findBellByName(node->text(0));
    if (bell < 0) {
        qCWarning(lcBells) << "groups tree: no catalogue bell named" << node->text(0);
        return;
    }
    if (!m_host.mayReplaceRinging()) {
        return;
    }
    ensemble.setSelected(bell, false);
    ensemble.setGroup(bell, kNoGroup);
    m_host.showBellPicture(bell);
    afterGroupsEdit();
}

void GroupsPanel::nAddBellClick(int bell) {
    Ensemble& ensemble = m_host.ensemble();
    if (bell < 0 || bell >= kBellCount || ensemble.isSelected(bell)) {
        return;
    }
    if (ensemble.selectedCount() < Distributions::kMinimumBells) {
        m_host.toggleBell(bell);
        return;
    }
    const std::optional<int> root = selectedRootGroup();
    if (!root || !GroupLimits::canAdd(ensemble, bell, root) || !m_host.mayReplaceRinging()) {
        return;
    }
    ensemble.setSelected(bell, true);
    ensemble.setGroup(bell, *root);
    m_host.showBellPicture(bell);
    afterGroupsEdit();
}

void GroupsPanel::afterGroupsEdit() {
    // Hand-made groups survive: no recomputation. Below five bells there are
    // no groups at all.
    Ensemble& ensemble = m_host.ensemble();
    if (ensemble.selectedCount() < Distributions::kMinimumBells) {
        for (int i = 0; i < kBellCount; ++i) {
            ensemble.setGroup(i, kNoGroup);
        }
    }
    m_variant = 0;
    showDistributionsMessage();
    rebuildGroupsTree();
    setNavigationButtons();
    m_host.showBellCount();
    m_host.groupsChanged();
}

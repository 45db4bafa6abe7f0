#pragma once

#include "base/BellGroups.h"
#include "bells/Distributions.h"

#include <QList>
#include <QObject>

#include <array>
#include <optional>

class GroupsHost;
class QAction;
class QEvent;
class QMenu;
class QPlainTextEdit;
class QPoint;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

// The groups panel: the message of the distributions with the buttons of the
// previous and next variant, the groups tree (bells dragged between the group
// roots) and the tree's popup menu (remove a bell, add a bell).
//
// Below five selected bells there are no groups: the tree lists the bells
// flat and nothing can be dragged.
class GroupsPanel : public QObject {
public:
    struct Controls {
        QPlainTextEdit* message = nullptr; // mDesc
        QToolButton* previous = nullptr;   // btnGPrev
        QToolButton* next = nullptr;       // btnGNext
        QTreeWidget* tree = nullptr;       // tvGroups
        QMenu* popup = nullptr;            // mPopup
        QAction* deleteBell = nullptr;     // nDelete
        QMenu* addBell = nullptr;          // nAdd
    };

    GroupsPanel(const Controls& controls, GroupsHost& host, QObject* parent = nullptr);

    // Start-up: the "add bell" sub-menu and the tree's and message's event
    // handling; later the distributions table at its first variant.
    void buildAddBellMenu();
    void fillDistributions();
    // Shutdown: the tree's and the message's event handling goes first, as
    // it calls into the program that is going away while the controls still
    // get events.
    void removeEventHooks();

    // The distribution variant in use (0..Distributions::kSlots - 1).
    int variant() const { return m_variant; }
    // A new selection starts again at the first variant.
    void resetVariant() { m_variant = 0; }

    // Assigns the groups of the current variant and shows them.
    void RecomputeGroups();
    // Shows the ensemble's groups as they stand (no recomputation).
    void showEnsembleGroups();

    // Handlers.
    void btnGPrevClick();
    void btnGNextClick();
    void tvGroupsMouseDown(const QPoint& pos);
    bool tvGroupsDragOver(QObject* source, const QPoint& pos);
    void tvGroupsDragDrop(QObject* source, const QPoint& pos);
    void mPopupPopup();
    void nDeleteClick();
    void nAddBellClick(int bell);
    // The "add bell" item of a bell (nullptr out of range or before the menu).
    QAction* addBellItem(int bell) const;

private:
    void showDistributionsMessage();
    void fitDistributionsMessage();
    void setNavigationButtons();
    void rebuildGroupsTree();
    void afterGroupsEdit();
    std::optional<int> selectedRootGroup() const;
    // The group code of a root of the tree; kNoGroup for anything else.
    int groupOfRoot(const QTreeWidgetItem* item) const;
    bool groupsTreeEvent(QEvent* event);

    Controls m_controls;
    GroupsHost& m_host;
    Distributions m_distributions;
    int m_variant = 0;
    // Indexed by BellGroup; empty in the flat list.
    std::array<QTreeWidgetItem*, kGroupCount> m_groupRoots{};
    int m_draggedBell = -1;
    QList<QAction*> m_addBellItems;
};

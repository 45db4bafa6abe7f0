#pragma once

#include "base/BellGroups.h"

#include <QObject>
#include <QString>

#include <array>

class QComboBox;
class QWidget;
class RingingChoicesHost;

// The ringing catalogue choices of the usual view: the common list
// (cbCommon) and the three group ringing selectors, filled from the group
// counts of the ensemble, and the rules that load a chosen ringing.
//
// It creates and owns the group selectors ("cbCustomSelection0".."2", tag
// = group, on the selectors' panel, each level with its group's band); the
// common list belongs to the window, which wires its choice to
// cbCommonChange. Groups are numbered as base/BellGroups.h numbers them.
class RingingChoices : public QObject {
public:
    struct Controls {
        QComboBox* common = nullptr;               // cbCommon
        QWidget* selectorsPanel = nullptr;         // pnlCustomSelections
        std::array<QWidget*, kGroupCount> bands{}; // pnlSmall, pnlMiddle, pnlBig
    };

    RingingChoices(const Controls& controls, RingingChoicesHost& host, QObject* parent = nullptr);

    // Start-up: the three selectors with "Выбор звона" only, disabled, laid
    // out. Shutdown: the selectors are freed (groupSelector gives nullptr).
    void createGroupSelectors();
    void releaseGroupSelectors();
    // Each selector at the top of its group's band + 2, the panel's width - 8.
    void layoutGroupSelectors();
    // Object names "cbCustomSelection0".."2"; nullptr out of range and
    // before createGroupSelectors.
    QComboBox* groupSelector(int group) const;

    // Refill the common list, the group selectors, from the group counts.
    void FillCommonChoice();
    void FillGroupChoices();
    // Every list at item 0, without running the choice handlers.
    void ClearChoices();

    // A common ringing was chosen (the list's current item).
    void cbCommonChange();
    // A group ringing was chosen (the selector's current item).
    void cbCustomSelectionChange(int group);

    // The working scores as the other subsystems read them: column `column`
    // of the common score ("" past its end), its length, and whether the
    // loaded ringing animates a group (false: it plays it in chords).
    QString commonScoreLine(int column) const;
    int commonScoreSize() const;
    bool isGroupAnimated(int group) const;

private:
    void setGroupSelectorsToNone();

    Controls m_controls;
    RingingChoicesHost& m_host;
    std::array<QComboBox*, kGroupCount> m_groupSelectors{};
    QObject* m_selectorKeyFilter = nullptr;
    // Counts refills of the common list, so that a delayed re-enable after a
    // choice never overrides a refill made meanwhile.
    int m_commonFillCount = 0;
    // The common item chosen last (-1 none; a refill forgets it) and the
    // column playback stood at then: the same ringing chosen again keeps
    // that place.
    int m_rememberedChoice = -1;
    int m_rememberedColumn = 0;
};

#pragma once

#include "base/BellGroups.h"

#include <QChar>
#include <QString>

#include <array>

inline constexpr int kBellCount = 15;

// The caption of bell `bell` (0..14) as the user sees it: "Колокол " and the
// number 15 - bell (bell 0 is "Колокол 15").
QString bellCaption(int bell);

// Group codes of the ensemble record: the BellGroup's number plus one, and
// 0 for a bell in no group.
enum GroupCode : int {
    kNoGroup = 0,
    kSmallGroup = ensembleGroupNumber(BellGroup::Small),
    kMiddleGroup = ensembleGroupNumber(BellGroup::Middle),
    kBigGroup = ensembleGroupNumber(BellGroup::Big),
};

// The BellGroup of a group code; only for kSmallGroup..kBigGroup.
constexpr BellGroup bellGroupOf(int code) {
    return groupAt(code - 1);
}

// The user's ensemble: for each of the fifteen bells of the catalogue
// (index 0 the biggest) whether it is selected and which group it rings in.
// Its text form is the pair of fifteen-character strings Bells ("1"/"0")
// and Types ("n", "s", "m", "b"), stored in the settings file and at the
// head of list and user ringing files.
class Ensemble {
public:
    bool isSelected(int bell) const { return valid(bell) && m_selected[bell]; }
    int group(int bell) const { return valid(bell) ? m_group[bell] : kNoGroup; }
    void setSelected(int bell, bool selected);
    void setGroup(int bell, int groupCode);

    // No bell selected, every group 0.
    void clear();

    int selectedCount() const;
    // Selected bells with this group code.
    int groupCount(int groupCode) const;
    // The counts of the small, middle and big groups in decimal, joined
    // (4, 5 and 3 give "453"; a group of ten or more makes it longer).
    QString groupCountsText() const;

    // "1" per selected bell, "0" otherwise.
    QString bellsText() const;
    // The group letter of each selected bell; "n" for bells not selected.
    QString typesText() const;
    // Selects each bell whose character in bells is "1" and gives it the group
    // of its letter in types (only "s", "m", "b", case-sensitive). Other bells
    // are left as they are; callers clear the ensemble first. Short strings
    // leave the missing positions unselected.
    void applyText(const QString& bells, const QString& types);

    static int groupForLetter(QChar letter);
    static QChar letterForGroup(int groupCode);

    bool operator==(const Ensemble&) const = default;

private:
    static bool valid(int bell) { return bell >= 0 && bell < kBellCount; }

    std::array<bool, kBellCount> m_selected{};
    std::array<int, kBellCount> m_group{};
};

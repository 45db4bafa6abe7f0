#pragma once

#include "bells/Ensemble.h"

#include <QList>
#include <QString>

// What the user rings in a practice run: one group of the ensemble, two or
// three groups at once (both hands on a whole trezvon), or a single bell.
struct PracticePart {
    int group = kNoGroup; // kSmallGroup, kMiddleGroup or kBigGroup
    int bell = -1;        // a bell index when a single bell is practised
    int groups = 0;       // groups rung at once: a bit (1 << code) per group; 0 otherwise

    static PracticePart ofGroup(int groupCode) { return {groupCode, -1, 0}; }
    static PracticePart ofBell(int bellIndex) { return {kNoGroup, bellIndex, 0}; }
    // One bit set gives that group as ofGroup does; no valid bit, no part.
    static PracticePart ofGroups(int groupBits);
    static constexpr int bitOf(int groupCode) { return 1 << groupCode; }

    bool isSingleBell() const { return bell >= 0; }
    bool isSeveralGroups() const { return groups != 0; }
    // The bells the user rings; empty when the part is not in the ensemble.
    QList<int> bells(const Ensemble& ensemble) const;
    // "s", "m" or "b" for a group, their letters in that order for several
    // ("mb", "smb"); "k" + the bell's number for a bell.
    QString code() const;
    // "Малые колокола", ..., "Средние и большие колокола", or "Колокол 3".
    QString caption() const;
    // Reads a code back; false for anything else.
    static bool fromCode(const QString& code, PracticePart& part);

    bool operator==(const PracticePart&) const = default;
};

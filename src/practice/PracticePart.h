#pragma once

#include "bells/Ensemble.h"

#include <QList>
#include <QString>

// What the user rings in a practice run: one group of the ensemble, or a
// single bell of it.
struct PracticePart {
    int group = kNoGroup; // kSmallGroup, kMiddleGroup or kBigGroup
    int bell = -1;        // a bell index when a single bell is practised

    static PracticePart ofGroup(int groupCode) { return {groupCode, -1}; }
    static PracticePart ofBell(int bellIndex) { return {kNoGroup, bellIndex}; }

    bool isSingleBell() const { return bell >= 0; }
    // The bells the user rings; empty when the part is not in the ensemble.
    QList<int> bells(const Ensemble& ensemble) const;
    // "s", "m" or "b" for a group; "k" + the bell's number for a bell.
    QString code() const;
    // "Малые колокола", ... or "Колокол 3".
    QString caption() const;
    // Reads a code back; false for anything else.
    static bool fromCode(const QString& code, PracticePart& part);

    bool operator==(const PracticePart&) const = default;
};

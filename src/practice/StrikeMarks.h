#pragma once

#include "practice/StrikeOutcome.h"

#include <QList>
#include <QString>

#include <functional>

// A note head of the score page as the score's layout places it.
struct MarkHead {
    int column = 0; // column of the ringing
    int x = 0;
    int y = 0;
    int bell = -1; // the bell its token names
};

// A mark drawn over the score for one outcome.
struct StrikeMark {
    enum class Kind { OnTime, Nearly, Beyond, Missed, Extra };
    Kind kind = Kind::OnTime;
    int x = 0;
    int y = 0;
    // -1 early, +1 late, 0 none (on time within a millisecond, misses, extras).
    int tick = 0;
    int column = 0;
};

// The marks of one staff page. Hits and misses sit on the head of their
// column and bell; an outcome whose head is not on the page gets no mark. An
// extra sits at its column's x (`columnX`) on the row of its bell, taken
// from any head of that bell on the page, else at `fallbackY`.
QList<StrikeMark> placeMarks(const QList<MarkHead>& heads, const QList<StrikeOutcome>& outcomes,
                             const std::function<int(int column)>& columnX, int fallbackY);

StrikeMark::Kind markKindOf(const StrikeOutcome& outcome);

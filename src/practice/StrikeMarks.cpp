#include "practice/StrikeMarks.h"

#include "practice/TrainingStats.h"

#include <cmath>

StrikeMark::Kind markKindOf(const StrikeOutcome& outcome) {
    switch (outcome.kind) {
    case StrikeOutcome::Kind::Missed:
        return StrikeMark::Kind::Missed;
    case StrikeOutcome::Kind::Extra:
        return StrikeMark::Kind::Extra;
    case StrikeOutcome::Kind::Hit:
        break;
    }
    switch (errorGrade(outcome.errorMs)) {
    case 0:
        return StrikeMark::Kind::OnTime;
    case 1:
        return StrikeMark::Kind::Nearly;
    default:
        return StrikeMark::Kind::Beyond;
    }
}

QList<StrikeMark> placeMarks(const QList<MarkHead>& heads, const QList<StrikeOutcome>& outcomes,
                             const std::function<int(int column)>& columnX, int fallbackY) {
    QList<StrikeMark> marks;
    for (const StrikeOutcome& outcome : outcomes) {
        StrikeMark mark;
        mark.kind = markKindOf(outcome);
        mark.column = outcome.column;
        if (outcome.kind == StrikeOutcome::Kind::Extra) {
            const MarkHead* row = nullptr;
            const MarkHead* sameColumn = nullptr;
            for (const MarkHead& head : heads) {
                if (head.bell == outcome.bell && !row) {
                    row = &head;
                }
                if (head.column == outcome.column && !sameColumn) {
                    sameColumn = &head;
                }
            }
            mark.x = sameColumn ? sameColumn->x : columnX(outcome.column);
            mark.y = row ? row->y : fallbackY;
            marks << mark;
            continue;
        }
        for (const MarkHead& head : heads) {
            if (head.column == outcome.column && head.bell == outcome.bell) {
                mark.x = head.x;
                mark.y = head.y;
                if (outcome.kind == StrikeOutcome::Kind::Hit && std::abs(outcome.errorMs) >= 1.0) {
                    mark.tick = outcome.errorMs < 0 ? -1 : 1;
                }
                marks << mark;
                break;
            }
        }
    }
    return marks;
}

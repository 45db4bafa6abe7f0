#include "record/ScoreHitTest.h"

#include "base/Rounding.h"
#include "score/ScoreLayout.h"

#include <algorithm>
#include <cmath>

namespace {

// The x of the heads of place n (0..63) on a page, as the layout puts them.
double headX(double columnWidth, int n) {
    return columnWidth / 2 + n * columnWidth + scoreBarShift(n);
}

} // namespace

std::optional<ScoreHit> hitScore(int group, QSize size, int page, int count, QPoint point, int staffTop,
                                 int staffLeft) {
    if (group < 0 || group >= kScoreGroupCount || page < 0 || size.width() <= 0 || size.height() <= 0 ||
        !QRect(QPoint(0, 0), size).contains(point) || staffTop < 0 || staffTop >= size.height() ||
        staffLeft < 0 || staffLeft >= size.width() || point.x() < staffLeft) {
        return std::nullopt;
    }
    // Rows are counted from the staff's top line; the room above it is hit as the nearest row.
    size -= QSize(staffLeft, staffTop);
    point -= QPoint(staffLeft, staffTop);
    const double columnWidth = double(size.width()) / kScorePageColumns;
    int nearest = std::clamp(int(point.x() / columnWidth), 0, kScorePageColumns - 1);
    for (int n = std::max(0, nearest - 1); n <= std::min(kScorePageColumns - 1, nearest + 1); ++n) {
        if (std::abs(point.x() - headX(columnWidth, n)) < std::abs(point.x() - headX(columnWidth, nearest))) {
            nearest = n;
        }
    }
    ScoreHit hit{page * kScorePageColumns + nearest, 0};
    const double rowHeight = double(size.height()) / scoreStaffRows(group);
    double best = rowHeight / 2;
    for (int position = 1; position <= count; ++position) {
        if (!scorePositionOnStaff(group, position, count)) {
            continue;
        }
        const double y = roundHalfEven(scoreStaffRow(group, position, count) * rowHeight);
        const double distance = std::abs(point.y() - y);
        if (distance <= best) {
            best = distance;
            hit.position = position;
        }
    }
    return hit;
}

QRect columnsRect(QSize size, int page, int first, int last, int staffLeft) {
    size.rwidth() -= std::max(0, staffLeft);
    const int pageFirst = page * kScorePageColumns;
    first = std::max(first, pageFirst) - pageFirst;
    last = std::min(last, pageFirst + kScorePageColumns - 1) - pageFirst;
    if (first > last || size.width() <= 0) {
        return {};
    }
    const double columnWidth = double(size.width()) / kScorePageColumns;
    const int left = roundHalfEven(headX(columnWidth, first) - columnWidth / 2);
    const int right = roundHalfEven(headX(columnWidth, last) + columnWidth / 2);
    return QRect(left + std::max(0, staffLeft), 0, right - left, size.height());
}

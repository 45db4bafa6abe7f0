#include "app/WindowPlacement.h"

#include <algorithm>
#include <limits>

namespace {

long long overlapArea(const QRect& a, const QRect& b) {
    const QRect common = a.intersected(b);
    return common.isEmpty() ? 0 : static_cast<long long>(common.width()) * common.height();
}

// Squared distance between the centres, in a wide type: stored values may be huge.
long long centreDistance(const QRect& a, const QRect& b) {
    const long long dx = (static_cast<long long>(a.left()) + a.right()) / 2 -
                         (static_cast<long long>(b.left()) + b.right()) / 2;
    const long long dy = (static_cast<long long>(a.top()) + a.bottom()) / 2 -
                         (static_cast<long long>(b.top()) + b.bottom()) / 2;
    return dx * dx + dy * dy;
}

int clampInto(int start, int length, int areaStart, int areaLength) {
    // A window longer than the area starts at the area's start.
    const int last = areaStart + std::max(0, areaLength - length);
    return std::clamp(start, areaStart, last);
}

} // namespace

QRect placeOnScreens(const QRect& bounds, const QList<QRect>& availableScreens, const QSize& minimumSize) {
    QList<QRect> screens;
    for (const QRect& s : availableScreens) {
        if (s.isValid()) {
            screens.append(s);
        }
    }
    if (screens.isEmpty()) {
        return bounds;
    }
    for (const QRect& s : screens) {
        if (s.contains(bounds)) {
            return bounds;
        }
    }
    const QRect* target = &screens.front();
    long long bestOverlap = -1;
    long long bestDistance = std::numeric_limits<long long>::max();
    for (const QRect& s : screens) {
        const long long overlap = overlapArea(bounds, s);
        const long long distance = centreDistance(bounds, s);
        if (overlap > bestOverlap || (overlap == bestOverlap && distance < bestDistance)) {
            target = &s;
            bestOverlap = overlap;
            bestDistance = distance;
        }
    }
    const QRect& screen = *target;
    const int width = std::max(minimumSize.width(), std::min(std::max(bounds.width(), 0), screen.width()));
    const int height =
        std::max(minimumSize.height(), std::min(std::max(bounds.height(), 0), screen.height()));
    return QRect(clampInto(bounds.left(), width, screen.left(), screen.width()),
                 clampInto(bounds.top(), height, screen.top(), screen.height()), width, height);
}

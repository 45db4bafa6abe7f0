#include "bells/BellStripGeometry.h"

#include "base/Rounding.h"

#include <algorithm>

BellStripGeometry BellStripGeometry::forClientWidth(int clientWidth) {
    BellStripGeometry g;
    const double w = std::max(0.0, (clientWidth - 4) / static_cast<double>(kBellCount));
    g.panelHeight = roundHalfEven(w) + 8;
    double x = 2.0;
    for (int i = 0; i < kBellCount; ++i) {
        const int left = roundHalfEven(x);
        const int width = std::max(0, roundHalfEven(x + w - left));
        g.pictures[i] = QRect(left, 2, width, width);
        x += w;
    }
    return g;
}

QRect BellStripGeometry::marker(int bell) const {
    const QRect& picture = pictures[std::clamp(bell, 0, kBellCount - 1)];
    return QRect(picture.left(), panelHeight - 5, picture.width(), kMarkerHeight);
}

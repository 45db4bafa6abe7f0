#include "animation/FullViewLayout.h"

#include "base/Rounding.h"

#include <algorithm>

namespace fullview {

std::array<int, 4> frameTops(int imagesHeight, int pictureHeight) {
    const double step = (imagesHeight - 24) / 3.0;
    // Integer division truncates toward zero, as the offset must.
    const int offset = (roundHalfEven(step) - pictureHeight) / 2;
    std::array<int, 4> tops{};
    for (int i = 0; i < 4; ++i) {
        tops[static_cast<std::size_t>(i)] = roundHalfEven(4 + i * (step + 8)) + offset;
    }
    tops[3] = tops[0];
    return tops;
}

int frameLeft(int imagesClientWidth, int pictureWidth) {
    return (imagesClientWidth - pictureWidth) / 2;
}

ToolRow toolRow(int fullViewLeft, int customBells1Left, int customBells1Width, int fullCommonLeft) {
    ToolRow row;
    row.commonWidth = std::max(0, fullViewLeft - customBells1Left - customBells1Width - 46);
    row.usualViewLeft = fullCommonLeft + row.commonWidth + 8;
    return row;
}

int titleTop(int panelClientHeight, int labelHeight) {
    return (panelClientHeight - labelHeight) / 2;
}

} // namespace fullview

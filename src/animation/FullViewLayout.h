#pragma once

#include <array>

// Geometry of the full view that follows from panel sizes alone.
namespace fullview {

inline constexpr int kFramePictureWidth = 364;
inline constexpr int kFramePictureHeight = 170;

// Tops of the big pictures of the sets small, middle, big and small-three
// in pnlImages of the given height: three places stacked from the top,
// the small-three set sharing the small group's place; each picture
// centred in a third of the height.
std::array<int, 4> frameTops(int imagesHeight, int pictureHeight = kFramePictureHeight);
// Left of every big picture: centred in pnlImages' client width.
int frameLeft(int imagesClientWidth, int pictureWidth = kFramePictureWidth);

// The tool row: the common list fills what the other controls leave.
struct ToolRow {
    int commonWidth = 0;
    int usualViewLeft = 0;
};
ToolRow toolRow(int fullViewLeft, int customBells1Left, int customBells1Width, int fullCommonLeft);
// The right edge margin of the style selector, anchored to the row's right edge.
inline constexpr int kStyleSelectorRightMargin = 8;

// Top of a rotated title centred in its panel.
int titleTop(int panelClientHeight, int labelHeight);

} // namespace fullview

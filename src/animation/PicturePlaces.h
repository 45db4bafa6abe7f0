#pragma once

#include <QRect>
#include <QSize>

#include <array>

// Where the animation's pictures stand. Each has a place of its own that no
// other control covers; a window smaller than the pictures were drawn for
// shrinks the places, and the pictures are scaled down into them.
namespace pictureplaces {

// `picture` scaled down to fit `room`, its proportions kept; never enlarged.
QSize fitted(QSize picture, QSize room);

// The usual view: a group's place at the left of the pictures panel, below
// the group's ringing selector and ending where the next group's band (and
// its selector) begins. Band top and height in the pictures panel's
// coordinates.
inline constexpr QSize kUsualPicture(129, 60);
inline constexpr int kUsualLeft = 15;
inline constexpr int kUsualGap = 8;
QRect usualPlace(int bandTop, int bandHeight, int selectorHeight);

// The full view: the places of the sets small, middle, big and small-three
// in pnlImages of the given height and client width, stacked from the top
// and centred. The small-three set shares the small group's place.
std::array<QRect, 4> fullPlaces(int imagesHeight, int imagesClientWidth);

} // namespace pictureplaces

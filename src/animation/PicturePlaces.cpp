#include "animation/PicturePlaces.h"

#include "animation/FullViewLayout.h"

#include <algorithm>
#include <cmath>

namespace pictureplaces {

namespace {

// Room left at the sides of a shrunk full-view picture.
constexpr int kFullMargin = 4;

} // namespace

QSize fitted(QSize picture, QSize room) {
    if (picture.isEmpty() || room.isEmpty()) {
        return {0, 0};
    }
    if (picture.width() <= room.width() && picture.height() <= room.height()) {
        return picture;
    }
    return picture.scaled(room, Qt::KeepAspectRatio);
}

QRect usualPlace(int bandTop, int bandHeight, int selectorHeight) {
    const int top = bandTop + selectorHeight + kUsualGap;
    const int room = bandTop + bandHeight - top;
    return QRect(kUsualLeft, top, kUsualPicture.width(), std::clamp(room, 0, kUsualPicture.height()));
}

std::array<QRect, 4> fullPlaces(int imagesHeight, int imagesClientWidth) {
    using fullview::kFramePictureHeight;
    using fullview::kFramePictureWidth;
    // Each of the three places is a third of the height less the gaps
    // (fullview::frameTops); a picture taller than that would run into the next.
    const int step = static_cast<int>(std::floor((imagesHeight - 24) / 3.0));
    const int width =
        imagesClientWidth >= kFramePictureWidth ? kFramePictureWidth : imagesClientWidth - 2 * kFullMargin;
    const QSize size = fitted(QSize(kFramePictureWidth, kFramePictureHeight), QSize(width, step));
    const std::array<int, 4> tops = fullview::frameTops(imagesHeight, size.height());
    const int left = fullview::frameLeft(imagesClientWidth, size.width());
    std::array<QRect, 4> places;
    for (std::size_t i = 0; i < places.size(); ++i) {
        places[i] = QRect(QPoint(left, tops[i]), size);
    }
    return places;
}

} // namespace pictureplaces

#include "ui/PictureFile.h"

#include <QImageReader>

bool isPictureSizeAcceptable(long long width, long long height) {
    return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           width * height <= kMaxPicturePixels;
}

QImage readPictureFile(const QString& path) {
    QImageReader reader(path);
    // The header's size is checked first; the allocation limit (in MB, four
    // bytes a pixel) stands behind it for formats that report no size.
    const QSize claimed = reader.size();
    if (claimed.isValid() && !isPictureSizeAcceptable(claimed.width(), claimed.height())) {
        return {};
    }
    reader.setAllocationLimit(static_cast<int>(kMaxPicturePixels * 4 / (1024 * 1024)));
    const QImage image = reader.read();
    if (image.isNull() || !isPictureSizeAcceptable(image.width(), image.height())) {
        return {};
    }
    return image;
}

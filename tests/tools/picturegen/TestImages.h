#pragma once

#include "Fonts.h"
#include "FrameSets.h"

#include <QGuiApplication>
#include <QImage>
#include <QRect>

#include <cmath>

namespace testimages {

// Text is drawn only with a QGuiApplication; the tests make one once.
inline void ensureGui() {
    static int argc = 1;
    static char name[] = "test_picturegen";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = [] {
        auto* a = new QGuiApplication(argc, argv);
        fonts::load();
        return a;
    }();
    (void)app;
}

// A canvas rectangle in the pixels of an image of the given size, grown by
// margin pixels on every side and kept inside the image.
inline QRect pixelRect(const QRectF& canvasRect, QSize size, int margin) {
    const QRectF r = frames::mappingFor(size).toPixels(canvasRect);
    const QRect grown(QPoint(int(std::floor(r.left())) - margin, int(std::floor(r.top())) - margin),
                      QPoint(int(std::ceil(r.right())) + margin, int(std::ceil(r.bottom())) + margin));
    return grown.intersected(QRect(QPoint(0, 0), size));
}

struct Difference {
    int inside = 0;  // differing pixels inside the region
    int outside = 0; // differing pixels outside the region grown by one pixel
};

// Compares two images of one size pixel by pixel, counting differences inside
// a region and outside it.
inline Difference compare(const QImage& a, const QImage& b, const QRect& region) {
    Difference d;
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    const QRect near = region.adjusted(-1, -1, 1, 1);
    for (int row = 0; row < x.height(); ++row) {
        for (int col = 0; col < x.width(); ++col) {
            if (x.pixel(col, row) == y.pixel(col, row)) {
                continue;
            }
            if (region.contains(col, row)) {
                ++d.inside;
            } else if (!near.contains(col, row)) {
                ++d.outside;
            }
        }
    }
    return d;
}

inline bool allWhite(const QImage& image, const QRect& region) {
    for (int row = region.top(); row <= region.bottom(); ++row) {
        for (int col = region.left(); col <= region.right(); ++col) {
            if ((image.pixel(col, row) & 0xffffff) != 0xffffff) {
                return false;
            }
        }
    }
    return true;
}

} // namespace testimages

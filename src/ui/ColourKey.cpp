#include "ui/ColourKey.h"

void clearColourKey(QImage& image, QRgb key) {
    const QRgb opaqueKey = key | 0xff000000u;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] | 0xff000000u) == opaqueKey) {
                line[x] = 0;
            }
        }
    }
}

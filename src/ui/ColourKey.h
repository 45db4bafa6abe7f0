#pragma once

#include <QImage>

// Transparency by colour key: every pixel of `key`'s colour (alpha ignored)
// becomes fully transparent. `image` must be Format_ARGB32 or
// Format_ARGB32_Premultiplied; it is changed in place.
void clearColourKey(QImage& image, QRgb key);

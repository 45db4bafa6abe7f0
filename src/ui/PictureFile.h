#pragma once

#include <QImage>
#include <QString>

// Pictures the program reads from its data folders. A damaged or hostile
// file may claim any size in its header; a picture beyond these limits is
// unreadable, and is refused before memory for its pixels is taken.
inline constexpr int kMaxPictureSide = 16384;
inline constexpr long long kMaxPicturePixels = 64LL * 1024 * 1024;

// Whether a picture of this size may be decoded.
bool isPictureSizeAcceptable(long long width, long long height);

// Reads a picture file (BMP, PNG, ... by its content) through the size
// check; a null image when it is missing, damaged or too big.
QImage readPictureFile(const QString& path);

#pragma once

#include <QByteArray>
#include <QImage>

#include <optional>

// JPEG through libjpeg, in memory.
namespace jpeg {

// Encodes an image as a baseline JPEG of the given quality (1..100).
// Nothing when libjpeg reports an error.
std::optional<QByteArray> encode(const QImage& image, int quality);

// Decodes a JPEG into an RGB image; nothing when the data is not a JPEG
// libjpeg can read, or when its header claims a size beyond the limits of
// ui/PictureFile.h (checked before any pixel memory is taken).
std::optional<QImage> decode(const QByteArray& data);

} // namespace jpeg

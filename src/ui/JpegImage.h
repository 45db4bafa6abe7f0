#pragma once

#include <QImage>
#include <QString>

// JPEG pictures of the windows (splash, banner, export background) and the
// exported score pictures go through libjpeg directly, so the program does
// not depend on an image plugin being installed.

// The decoded picture, or a null image when the file is missing or not a
// readable JPEG.
QImage loadJpeg(const QString& path);

// Encodes the picture at the quality (1..100) and writes it atomically.
bool saveJpeg(const QImage& image, const QString& path, int quality);

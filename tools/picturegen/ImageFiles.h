#pragma once

#include <QImage>
#include <QString>

// Writing the pictures, each file whole or not at all.
namespace imagefiles {

bool writeBmp(const QString& path, const QImage& image);
bool writePng(const QString& path, const QImage& image);
bool writeJpeg(const QString& path, const QImage& image, int quality);

} // namespace imagefiles

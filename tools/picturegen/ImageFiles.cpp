#include "ImageFiles.h"

#include "ui/JpegImage.h"
#include "base/AtomicFile.h"

#include <QBuffer>

namespace imagefiles {

namespace {

bool writeWithQt(const QString& path, const QImage& image, const char* format, int quality = -1) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format, quality)) {
        return false;
    }
    return writeFileAtomically(path, bytes);
}

} // namespace

bool writeBmp(const QString& path, const QImage& image) {
    // 24-bit pixels: the pictures carry no alpha (white is their transparent colour).
    return writeWithQt(path, image.convertToFormat(QImage::Format_RGB888), "BMP");
}

bool writePng(const QString& path, const QImage& image) {
    return writeWithQt(path, image, "PNG");
}

bool writeJpeg(const QString& path, const QImage& image, int quality) {
    return saveJpeg(image, path, quality);
}

} // namespace imagefiles

#include "ui/JpegImage.h"

#include "base/AtomicFile.h"
#include "ui/JpegCodec.h"

#include <QFile>

QImage loadJpeg(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return jpeg::decode(file.readAll()).value_or(QImage());
}

bool saveJpeg(const QImage& image, const QString& path, int quality) {
    const std::optional<QByteArray> bytes = jpeg::encode(image, quality);
    return bytes && writeFileAtomically(path, *bytes);
}

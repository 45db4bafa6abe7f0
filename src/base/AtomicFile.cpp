#include "base/AtomicFile.h"

#include <QSaveFile>

bool writeFileAtomically(const QString& path, const ContentProducer& produce) {
    QSaveFile file(path);
    // Never fall back to writing the target in place: that is what could
    // leave it half-written.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    if (!produce(file) || file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool writeFileAtomically(const QString& path, const QByteArray& content) {
    return writeFileAtomically(path, [&content](QIODevice& out) {
        return out.write(content) == content.size();
    });
}

#include "record/UnsavedRingings.h"

#include "base/TextCodec.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace {

QString xdgFolder(const char* variable, const QString& fallback) {
    const QString value = qEnvironmentVariable(variable);
    return value.isEmpty() || !QDir::isAbsolutePath(value) ? QDir::homePath() + fallback : value;
}

} // namespace

QStringList unsavedRingingFolders() {
    return {xdgFolder("XDG_DATA_HOME", QStringLiteral("/.local/share")) + QStringLiteral("/campanix/unsaved"),
            xdgFolder("XDG_CONFIG_HOME", QStringLiteral("/.config")) + QStringLiteral("/campanix/unsaved"),
            QDir::homePath() + QStringLiteral("/campanix-unsaved")};
}

QList<UnsavedRinging> findUnsavedRingings(const QStringList& folders) {
    QList<UnsavedRinging> found;
    for (const QString& folder : folders) {
        const QFileInfoList files =
            QDir(folder).entryInfoList({QStringLiteral("*.ukl")}, QDir::Files | QDir::Readable);
        for (const QFileInfo& file : files) {
            const std::optional<QStringList> lines = readTextLines(file.filePath());
            // Bells, types, name, then a body.
            if (!lines || lines->size() < 4) {
                continue;
            }
            found.append({file.filePath(), lines->at(2), file.lastModified()});
        }
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const UnsavedRinging& a, const UnsavedRinging& b) { return a.written > b.written; });
    return found;
}

QString unsavedFileName(const QString& ringingName, const QDateTime& moment) {
    QString base = ringingName;
    base.replace(QRegularExpression(QStringLiteral("[/\\\\\\x00-\\x1f]")), QStringLiteral("_"));
    base = base.trimmed().left(80);
    if (base.isEmpty() || base.startsWith(QLatin1Char('.'))) {
        base.prepend(QStringLiteral("Звон"));
    }
    return QStringLiteral("%1 %2.ukl").arg(base, moment.toString(QStringLiteral("yyyy-MM-dd HH-mm-ss")));
}

// The step that writes the association of user ringing files. It may run
// on a thread of its own: it touches no object of the main thread.

#include "base/Logging.h"
#include "base/PathTable.h"
#include "desktop/FileAssociation.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <exception>

bool writesUserAssociation(const QString& executableDir, const QString& programDir) {
    if (PathTable::isInstalledDataDir(programDir)) {
        return false;
    }
    // The association names the running executable; only the program's own
    // executable, in its own folder, may claim the file type.
    const QString executable = QDir(executableDir).canonicalPath();
    return !executable.isEmpty() && executable == QDir(programDir).canonicalPath();
}

void RegisterRingingFileType(const QString& programDir) {
    registerRingingFileType(QCoreApplication::applicationFilePath(), programDir);
}

void registerRingingFileType(const QString& executable, const QString& programDir) {
    try {
        if (!writesUserAssociation(QFileInfo(executable).absolutePath(), programDir)) {
            return;
        }
        QByteArray png;
        const QImage bell(QDir(programDir).filePath(QStringLiteral("Images/bell01.bmp")));
        if (!bell.isNull()) {
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            bell.scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                .convertToFormat(QImage::Format_ARGB32)
                .save(&buffer, "PNG");
        }
        // A file it cannot write is logged where it fails.
        FileAssociation::forUser().registerProgram(executable, png);
    } catch (const std::exception& failure) {
        // The association is a convenience: the program runs without it.
        qCWarning(lcDesktop) << "registering the ringing file type failed:" << failure.what();
    } catch (...) {
        qCWarning(lcDesktop) << "registering the ringing file type failed";
    }
}

#include "base/AtomicFile.h"

#include "base/OutputTarget.h"

#include <QBuffer>
#include <QFile>

#include <cerrno>
#include <cstring>

#include <unistd.h>

Q_LOGGING_CATEGORY(lcFiles, "campanix.files", QtWarningMsg)

namespace {

FileWriteResult failed(const QString& path, const QString& reason, int systemError) {
    FileWriteResult result;
    result.error = path + QStringLiteral(": ") + reason;
    result.systemError = systemError;
    qCWarning(lcFiles).noquote() << "not written:" << result.error;
    return result;
}

FileWriteResult failedWith(const QString& path, int systemError) {
    return failed(path, QString::fromLocal8Bit(std::strerror(systemError)), systemError);
}

FileWriteResult writeStream(const QString& path, const OutputTarget& target, const QByteArray& content) {
    const int fd = openStreamTarget(target);
    if (fd < 0) {
        return failedWith(path, errno);
    }
    const bool written = writeAll(fd, content.constData(), static_cast<std::size_t>(content.size()));
    const int error = errno;
    if (close(fd) != 0 && written) {
        return failedWith(path, errno);
    }
    if (!written) {
        return failedWith(path, error);
    }
    FileWriteResult result;
    result.ok = true;
    return result;
}

FileWriteResult writeWhole(const QString& path, const OutputTarget& target, const QByteArray& content) {
    std::string tempPath;
    const int fd = createTemporaryBeside(target.path, &tempPath);
    if (fd < 0) {
        return failedWith(path, errno);
    }
    if (!writeAll(fd, content.constData(), static_cast<std::size_t>(content.size()))) {
        const int error = errno;
        close(fd);
        unlink(tempPath.c_str());
        return failedWith(path, error);
    }
    if (!commitTemporary(fd, tempPath, target.path)) {
        return failedWith(path, errno);
    }
    FileWriteResult result;
    result.ok = true;
    return result;
}

} // namespace

FileWriteResult writeFileWhole(const QString& path, const QByteArray& content) {
    const OutputTarget target = classifyOutput(QFile::encodeName(path).toStdString());
    switch (target.kind) {
    case OutputTarget::Kind::Refused:
        return failed(path, QString::fromStdString(target.error), target.systemError);
    case OutputTarget::Kind::Stream:
        return writeStream(path, target, content);
    case OutputTarget::Kind::File:
        break;
    }
    return writeWhole(path, target, content);
}

FileWriteResult writeFileWhole(const QString& path, const ContentProducer& produce) {
    // The content is made whole in memory first: nothing reaches the target
    // (a pipe cannot take bytes back) unless the producer finished.
    QByteArray content;
    QBuffer buffer(&content);
    buffer.open(QIODevice::WriteOnly);
    if (!produce(buffer)) {
        return failed(path, QStringLiteral("the content could not be made"), 0);
    }
    buffer.close();
    return writeFileWhole(path, content);
}

bool writeFileAtomically(const QString& path, const ContentProducer& produce) {
    return writeFileWhole(path, produce).ok;
}

bool writeFileAtomically(const QString& path, const QByteArray& content) {
    return writeFileWhole(path, content).ok;
}

QString fileWriteReason(const FileWriteResult& result) {
    if (result.ok) {
        return {};
    }
    switch (result.systemError) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("на диске нет места");
    case EFBIG:
        return QStringLiteral("файл больше, чем позволено");
    case EACCES:
    case EPERM:
        return QStringLiteral("нет прав на запись");
    case EROFS:
        return QStringLiteral("диск только для чтения");
    case ENOENT:
        return QStringLiteral("папка не найдена");
    case EISDIR:
        return QStringLiteral("это папка, а не файл");
    case ENAMETOOLONG:
        return QStringLiteral("слишком длинное имя");
    default:
        return QStringLiteral("ошибка записи");
    }
}

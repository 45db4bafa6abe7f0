#include "desktop/CommandLine.h"

#include "desktop/LocalFileName.h"

#include <QDir>

std::optional<QString> fileNamedByArguments(const QStringList& arguments) {
    if (arguments.isEmpty()) {
        return std::nullopt;
    }
    const QString joined = arguments.join(u' ');
    if (!isLocalFile(joined)) {
        return std::nullopt;
    }
    return joined;
}

QStringList argumentsWithAbsoluteFile(const QStringList& arguments, const QString& workingDir) {
    if (arguments.isEmpty()) {
        return arguments;
    }
    const QString joined = arguments.join(u' ');
    const QString path = QDir::isAbsolutePath(joined) ? joined : QDir(workingDir).filePath(joined);
    if (!isLocalFile(path)) {
        return arguments;
    }
    return {QDir::cleanPath(path)};
}

#include "desktop/CommandLine.h"

#include <QDir>
#include <QFileInfo>

std::optional<QString> fileNamedByArguments(const QStringList& arguments) {
    if (arguments.isEmpty()) {
        return std::nullopt;
    }
    const QString joined = arguments.join(u' ');
    if (!QFileInfo(joined).isFile()) {
        return std::nullopt;
    }
    return joined;
}

QStringList argumentsWithAbsoluteFile(const QStringList& arguments, const QString& workingDir) {
    if (arguments.isEmpty()) {
        return arguments;
    }
    const QFileInfo file(QDir(workingDir), arguments.join(u' '));
    if (!file.isFile()) {
        return arguments;
    }
    return {file.absoluteFilePath()};
}

#include "desktop/CommandLine.h"

#include "desktop/LocalFileName.h"

#include <QDir>
#include <QFileInfo>

namespace {

// A name meant as a ringing file that is not one: a ".ukl" name that is
// missing, or a folder. Opening it says what is wrong; the export mode's
// first argument "html" is never a name.
bool meantAsRingingFile(const QStringList& arguments, const QString& path) {
    if (arguments.first() == QLatin1String("html")) {
        return false;
    }
    return path.endsWith(QStringLiteral(".ukl"), Qt::CaseInsensitive) || QFileInfo(path).isDir();
}

} // namespace

std::optional<QString> fileNamedByArguments(const QStringList& arguments) {
    if (arguments.isEmpty()) {
        return std::nullopt;
    }
    const QString joined = arguments.join(u' ');
    if (!isLocalFile(joined) && !meantAsRingingFile(arguments, joined)) {
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
    if (!isLocalFile(path) && !meantAsRingingFile(arguments, path)) {
        return arguments;
    }
    return {QDir::cleanPath(path)};
}

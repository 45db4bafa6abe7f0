#include "lessons/CommandLine.h"

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

#include "desktop/UserRingingCheck.h"

#include "bells/Ensemble.h"
#include "ringing/RingingFiles.h"

#include <QFileInfo>

namespace {

bool onlyOf(const QString& text, const QString& allowed) {
    for (const QChar c : text) {
        if (!allowed.contains(c)) {
            return false;
        }
    }
    return true;
}

} // namespace

bool looksLikeUserRinging(const QStringList& fileLines) {
    for (const QString& line : fileLines) {
        if (line.contains(QChar(u'\0'))) {
            return false;
        }
    }
    const std::optional<RingingDocument> document =
        parseRingingDocument(fileLines, kUserRingingPreambleLines);
    if (!document || document->body.isEmpty()) {
        return false;
    }
    return document->bells.size() == kBellCount && onlyOf(document->bells, QStringLiteral("01")) &&
           document->types.size() == kBellCount && onlyOf(document->types, QStringLiteral("nsmb"));
}

QString notARingingMessage(const QString& path) {
    return QStringLiteral("Файл «%1» не является файлом колокольного звона и не может быть открыт.")
        .arg(QFileInfo(path).fileName());
}

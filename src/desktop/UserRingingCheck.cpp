#include "desktop/UserRingingCheck.h"

#include "ringing/RingingReader.h"

#include <QFileInfo>

bool looksLikeUserRinging(const QStringList& fileLines) {
    for (const QString& line : fileLines) {
        if (line.contains(QChar(u'\0'))) {
            return false;
        }
    }
    // The one rule of every reader of ringings.
    return ringingDocumentFromLines(fileLines, RingingKind::User).document.has_value();
}

QString notARingingMessage(const QString& path) {
    return QStringLiteral("Файл «%1» не является файлом колокольного звона и не может быть открыт.")
        .arg(QFileInfo(path).fileName());
}

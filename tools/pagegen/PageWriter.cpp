#include "PageWriter.h"

#include "base/AtomicFile.h"
#include "base/TextCodec.h"

#include <QFile>
#include <QRegularExpression>

namespace pagewriter {

QString convert(const QString& source, QString* error) {
    static const QRegularExpression declaration(QStringLiteral(R"(<meta\s+charset\s*=\s*"utf-8"\s*/?>)"),
                                                QRegularExpression::CaseInsensitiveOption);
    if (!source.contains(declaration)) {
        *error = QStringLiteral("the page declares no <meta charset=\"utf-8\">");
        return {};
    }
    QString page = source;
    page.replace(declaration, QStringLiteral("<meta charset=\"windows-1251\">"));
    const QString back = decode1251(encode1251(page));
    if (back != page) {
        qsizetype at = 0;
        while (at < page.size() && at < back.size() && page.at(at) == back.at(at)) {
            ++at;
        }
        const int line = static_cast<int>(page.left(at).count(QLatin1Char('\n'))) + 1;
        *error = QStringLiteral("line %1: the character U+%2 has no place in Windows-1251")
                     .arg(line)
                     .arg(static_cast<int>(page.at(at).unicode()), 4, 16, QLatin1Char('0'));
        return {};
    }
    return page;
}

bool writePage(const QString& sourcePath, const QString& targetPath, QString* error) {
    QFile file(sourcePath);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = sourcePath + QStringLiteral(": ") + file.errorString();
        return false;
    }
    const QString page = convert(QString::fromUtf8(file.readAll()), error);
    if (page.isEmpty()) {
        *error = sourcePath + QStringLiteral(": ") + *error;
        return false;
    }
    if (!writeFileAtomically(targetPath, encode1251(page))) {
        *error = targetPath + QStringLiteral(": cannot be written");
        return false;
    }
    return true;
}

} // namespace pagewriter

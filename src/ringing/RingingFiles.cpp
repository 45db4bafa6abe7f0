#include "ringing/RingingFiles.h"

#include "base/AtomicFile.h"
#include "base/TextCodec.h"
#include "ringing/RingingText.h"

std::optional<RingingDocument> parseRingingDocument(const QStringList& fileLines, int preambleLines) {
    if (preambleLines < kUserRingingPreambleLines || fileLines.size() < preambleLines) {
        return std::nullopt;
    }
    RingingDocument doc;
    doc.bells = fileLines.at(0);
    doc.types = fileLines.at(1);
    doc.name = fileLines.at(2);
    if (preambleLines >= kListRingingPreambleLines) {
        doc.description = fileLines.at(3);
    }
    doc.body = fileLines.mid(preambleLines);
    return doc;
}

QString userRingingPath(const QString& path) {
    const QString extension = QStringLiteral(".ukl");
    return path.endsWith(extension) ? path : path + extension;
}

QStringList userRingingFileLines(const Ensemble& ensemble, const QString& name, const QStringList& body,
                                 SymbolChoice symbols) {
    return {ensemble.bellsText(), ensemble.typesText(), name, encodeRingingLines(body, symbols)};
}

RingingWriteResult writeUserRingingFile(const QString& path, const Ensemble& ensemble, const QString& name,
                                        const QStringList& body) {
    return writeUserRingingFile(path, ensemble, name, body, SymbolChoice::drawFromClock());
}

RingingWriteResult writeUserRingingFile(const QString& path, const Ensemble& ensemble, const QString& name,
                                        const QStringList& body, SymbolChoice symbols) {
    RingingWriteResult result;
    result.path = userRingingPath(path);
    if (name.contains(u'\r') || name.contains(u'\n')) {
        result.error = QStringLiteral("Название звона не может содержать перевод строки");
        return result;
    }
    if (symbols.lineBreak < 0 || symbols.lineBreak > 3 || symbols.comma < 0 || symbols.comma > 3) {
        result.error = QStringLiteral("Неверный выбор символов кодировки");
        return result;
    }
    if (!isCarriedByEncoding(body)) {
        result.error = QStringLiteral("Звон содержит знаки, которые нельзя записать в файл звона");
        return result;
    }
    const FileWriteResult written =
        writeFileWhole(result.path, encode1251(joinCrLf(userRingingFileLines(ensemble, name, body, symbols))));
    if (!written) {
        result.error = QStringLiteral("Не удалось записать файл ") + result.path + QStringLiteral(": ") +
                       fileWriteReason(written);
        return result;
    }
    result.ok = true;
    return result;
}

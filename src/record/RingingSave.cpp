#include "record/RingingSave.h"

#include "base/AtomicFile.h"
#include "base/TextCodec.h"
#include "bells/Ensemble.h"

std::optional<QString> listRingingPath(const QString& customDir, const QString& name) {
    const QString trimmed = name.trimmed();
    if (customDir.isEmpty() || trimmed.isEmpty() || trimmed != name || name.contains(u'/') ||
        name.contains(u'\\') || name.contains(u'\r') || name.contains(u'\n') || name == u'.' ||
        name == QStringLiteral("..")) {
        return std::nullopt;
    }
    return customDir + name + QStringLiteral(".kol");
}

RingingWriteResult writeListRinging(const QString& customDir, const Ensemble& ensemble, const QString& name,
                                    const QString& description, const QStringList& body) {
    RingingWriteResult result;
    const std::optional<QString> path = listRingingPath(customDir, name);
    if (!path) {
        result.error = QStringLiteral("Имя «%1» не годится для файла звона.").arg(name);
        return result;
    }
    result.path = *path;
    if (description.contains(u'\r') || description.contains(u'\n')) {
        result.error = QStringLiteral("Описание звона должно быть одной строкой.");
        return result;
    }
    if (!isCarriedByEncoding(body)) {
        result.error = QStringLiteral("В звоне есть знаки, которые файл звона не может сохранить.");
        return result;
    }
    // The list ringing is the user file's lines with the description after the name.
    QStringList lines = userRingingFileLines(ensemble, name, body, SymbolChoice::drawFromClock());
    lines.insert(kUserRingingPreambleLines, description);
    if (!writeFileAtomically(*path, encode1251(joinCrLf(lines)))) {
        result.error = QStringLiteral("Не удалось записать файл «%1».").arg(*path);
        return result;
    }
    const QString listPath = customDir + QStringLiteral("list.kli");
    QStringList names = readTextLines(listPath).value_or(QStringList());
    if (!names.contains(name)) {
        names.append(name);
        if (!writeTextLines(listPath, names)) {
            result.error = QStringLiteral("Звон сохранён, но не добавлен в список «%1».").arg(listPath);
            return result;
        }
    }
    result.ok = true;
    return result;
}

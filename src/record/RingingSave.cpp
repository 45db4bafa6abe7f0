#include "record/RingingSave.h"

#include "base/AtomicFile.h"
#include "base/TextCodec.h"
#include "bells/Ensemble.h"

#include <QFileInfo>

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
    if (const FileWriteResult written = writeFileWhole(*path, encode1251(joinCrLf(lines))); !written) {
        result.error = QStringLiteral("Не удалось записать файл «%1»: %2.").arg(*path, fileWriteReason(written));
        return result;
    }
    const QString listPath = customDir + QStringLiteral("list.kli");
    const std::optional<QStringList> listed = readTextLines(listPath);
    if (!listed && QFileInfo::exists(listPath)) {
        // A list that cannot be read is not rewritten with this name alone.
        result.error = QStringLiteral("Звон сохранён, но не добавлен в список «%1»: список не удалось прочитать.")
                           .arg(listPath);
        return result;
    }
    QStringList names = listed.value_or(QStringList());
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

#include "Catalogue.h"

#include "base/TextCodec.h"
#include "base/TextLists.h"

#include <QFile>
#include <QSet>

namespace catalogue {

bool isReservedKeyCode(int code) {
    return code == 32 || (code >= 37 && code <= 40) || (code >= 49 && code <= 51) ||
           (code >= 97 && code <= 99);
}

static QString numbered(int bell, const char* suffix) {
    return QStringLiteral("bell%1%2").arg(bell + 1, 2, 10, QLatin1Char('0')).arg(QLatin1String(suffix));
}

QString sampleFileName(int bell) {
    return numbered(bell, ".wav");
}
QString pictureFileName(int bell) {
    return numbered(bell, ".bmp");
}
QString pictureOffFileName(int bell) {
    return numbered(bell, "_off.bmp");
}

QStringList sourceLines(const QString& sourceText) {
    QStringList out;
    for (const QString& line : splitTextLines(sourceText)) {
        if (line.trimmed().isEmpty() || line.startsWith(u'#')) {
            continue;
        }
        out.append(line);
    }
    return out;
}

std::optional<int> keyCode(const QString& line) {
    const QStringList fields = SplitList(line, QStringLiteral(";"));
    if (fields.size() <= KeyCode) {
        return std::nullopt;
    }
    bool ok = false;
    const int code = fields.at(KeyCode).toInt(&ok);
    if (!ok) {
        return std::nullopt;
    }
    return code;
}

QStringList validate(const QStringList& lines) {
    QStringList errors;
    if (lines.size() != kBellCount) {
        errors.append(QStringLiteral("expected %1 bells, found %2").arg(kBellCount).arg(lines.size()));
    }
    QSet<QString> names;
    QSet<int> codes;
    for (int i = 0; i < lines.size(); ++i) {
        const QString& line = lines.at(i);
        const QString where = QStringLiteral("bell %1: ").arg(i);
        if (decode1251(encode1251(line)) != line) {
            errors.append(where + QStringLiteral("text that Windows-1251 cannot hold"));
        }
        const QStringList f = SplitList(line, QStringLiteral(";"));
        if (f.size() != kFieldCount) {
            errors.append(where + QStringLiteral("%1 fields instead of %2").arg(f.size()).arg(kFieldCount));
            continue;
        }
        for (int k = 0; k < kFieldCount; ++k) {
            if (f.at(k).trimmed().isEmpty()) {
                errors.append(where + QStringLiteral("field %1 is empty").arg(k + 1));
            }
        }
        const QString folded = f.at(Name).toLower();
        if (names.contains(folded)) {
            errors.append(where + QStringLiteral("name \"%1\" is used twice").arg(f.at(Name)));
        }
        names.insert(folded);
        if (f.at(Sample) != sampleFileName(i)) {
            errors.append(where + QStringLiteral("sample must be %1").arg(sampleFileName(i)));
        }
        if (f.at(Picture) != pictureFileName(i)) {
            errors.append(where + QStringLiteral("picture must be %1").arg(pictureFileName(i)));
        }
        if (f.at(PictureOff) != pictureOffFileName(i)) {
            errors.append(where + QStringLiteral("dim picture must be %1").arg(pictureOffFileName(i)));
        }
        const std::optional<int> code = keyCode(line);
        if (!code) {
            errors.append(where + QStringLiteral("key code \"%1\" is not a whole number").arg(f.at(KeyCode)));
            continue;
        }
        if (*code <= 0 || *code > 254) {
            errors.append(where + QStringLiteral("key code %1 is not a key").arg(*code));
        }
        if (isReservedKeyCode(*code)) {
            errors.append(where + QStringLiteral("key code %1 has other work").arg(*code));
        }
        if (codes.contains(*code)) {
            errors.append(where + QStringLiteral("key code %1 is used twice").arg(*code));
        }
        codes.insert(*code);
    }
    return errors;
}

QStringList convertSource(const QString& sourcePath, const QString& targetPath, QStringList* lines) {
    QFile file(sourcePath);
    if (!file.open(QIODevice::ReadOnly)) {
        return {QStringLiteral("cannot read %1").arg(sourcePath)};
    }
    const QStringList parsed = sourceLines(QString::fromUtf8(file.readAll()));
    QStringList errors = validate(parsed);
    if (!errors.isEmpty()) {
        return errors;
    }
    if (!writeTextLines(targetPath, parsed)) {
        return {QStringLiteral("cannot write %1").arg(targetPath)};
    }
    if (lines != nullptr) {
        *lines = parsed;
    }
    return {};
}

} // namespace catalogue

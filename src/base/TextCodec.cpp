#include "base/TextCodec.h"

#include "base/AtomicFile.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

QByteArray withoutByteOrderMark(const QByteArray& bytes) {
    // Editors that save as UTF-8 put these three bytes first; read as
    // Windows-1251 they would become three characters of the first line.
    static const QByteArray kUtf8Mark("\xEF\xBB\xBF");
    return bytes.startsWith(kUtf8Mark) ? bytes.mid(kUtf8Mark.size()) : bytes;
}

QString decode1251(const QByteArray& bytes) {
    QStringDecoder decoder("windows-1251");
    return decoder.decode(bytes);
}

QByteArray encode1251(const QString& text) {
    QStringEncoder encoder("windows-1251");
    return encoder.encode(text);
}

QStringList splitTextLines(const QString& text) {
    QStringList lines;
    QString current;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n') {
            lines.append(current);
            current.clear();
            if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n') {
                ++i;
            }
        } else {
            current.append(c);
        }
    }
    if (!current.isEmpty()) {
        lines.append(current);
    }
    return lines;
}

QString joinCrLf(const QStringList& lines) {
    QString out;
    for (const QString& line : lines) {
        out += line;
        out += QStringLiteral("\r\n");
    }
    return out;
}

std::optional<QStringList> readTextLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return std::nullopt;
    }
    return splitTextLines(decode1251(withoutByteOrderMark(bytes)));
}

bool writeTextLines(const QString& path, const QStringList& lines) {
    return writeFileAtomically(path, encode1251(joinCrLf(lines)));
}

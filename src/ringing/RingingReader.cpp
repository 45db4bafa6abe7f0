#include "ringing/RingingReader.h"

#include "base/TextCodec.h"
#include "ringing/RingingText.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>

namespace {

int preambleOf(RingingKind kind) {
    switch (kind) {
    case RingingKind::List:
        return kListRingingPreambleLines;
    case RingingKind::User:
        return kUserRingingPreambleLines;
    case RingingKind::Body:
        break;
    }
    return 0;
}

// The line-break symbols of an encoded body, each of which may start a line.
bool isLineBreakSymbol(char c) {
    return c == '_' || c == '&' || c == '@' || c == '$';
}

// The most lines the text can give once split and decoded: one more than its
// line ends (CR LF, lone CR, lone LF) and line-break symbols. The decoding
// makes no new symbols of these (its other steps write commas and letters,
// or remove single characters), so a second decoding adds none either.
qint64 lineBound(const QByteArray& bytes) {
    qint64 breaks = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes[i];
        if (c == '\n' || isLineBreakSymbol(c)) {
            ++breaks;
        } else if (c == '\r' && (i + 1 >= n || bytes[i + 1] != '\n')) {
            ++breaks;
        }
    }
    return breaks + 1;
}

qint64 lineBound(const QStringList& lines) {
    qint64 bound = lines.size();
    for (const QString& line : lines) {
        for (QChar c : line) {
            if (c == u'_' || c == u'&' || c == u'@' || c == u'$') {
                ++bound;
            }
        }
    }
    return bound;
}

// Columns a body can hold: its lines but the preamble and the header.
qint64 columnsOf(qint64 lines, int preamble) {
    return std::max<qint64>(0, lines - preamble - 1);
}

RingingReadFailure failure(RingingReadFailure::Reason reason, qint64 bytes = 0, qint64 columns = 0) {
    RingingReadFailure f;
    f.reason = reason;
    f.bytes = bytes;
    f.columns = columns;
    return f;
}

} // namespace

RingingFileLines readRingingFileLines(const QString& path) {
    RingingFileLines result;
    const QFileInfo info(path);
    if (!info.exists()) {
        result.failure = failure(RingingReadFailure::Missing);
        return result;
    }
    if (!info.isFile()) {
        result.failure = failure(RingingReadFailure::NotAFile);
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.failure = failure(RingingReadFailure::Unreadable);
        return result;
    }
    if (file.size() > kMaxRingingFileBytes) {
        result.failure = failure(RingingReadFailure::TooLarge, file.size());
        return result;
    }
    // Read no more than the limit allows, whatever the size said: the file
    // may grow while it is read.
    const QByteArray bytes = file.read(kMaxRingingFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        result.failure = failure(RingingReadFailure::Unreadable);
        return result;
    }
    if (bytes.size() > kMaxRingingFileBytes) {
        result.failure = failure(RingingReadFailure::TooLarge, bytes.size());
        return result;
    }
    // Counted before the text is split: a file of empty columns would
    // otherwise cost far more in lines than in bytes. The preamble is not
    // known yet, so the most any kind has is allowed for here; the document
    // counts exactly.
    const qint64 columns = columnsOf(lineBound(bytes), kListRingingPreambleLines);
    if (columns > kMaxRingingColumns) {
        result.failure = failure(RingingReadFailure::TooManyColumns, bytes.size(), columns);
        return result;
    }
    // No text of a ringing holds a NUL byte; binary data does.
    if (bytes.contains('\0')) {
        result.failure = failure(RingingReadFailure::NotText, bytes.size());
        return result;
    }
    result.lines = splitTextLines(decode1251(withoutByteOrderMark(bytes)));
    return result;
}

RingingRead ringingDocumentFromLines(const QStringList& fileLines, RingingKind kind) {
    RingingRead result;
    const int preamble = preambleOf(kind);
    const qint64 columns = columnsOf(lineBound(fileLines), preamble);
    if (columns > kMaxRingingColumns) {
        result.failure = failure(RingingReadFailure::TooManyColumns, 0, columns);
        return result;
    }
    if (kind == RingingKind::Body) {
        RingingDocument document;
        document.body = fileLines;
        result.document = std::move(document);
        return result;
    }
    std::optional<RingingDocument> document = parseRingingDocument(fileLines, preamble);
    if (!document || document->body.isEmpty()) {
        result.failure = failure(RingingReadFailure::NoPreamble);
        return result;
    }
    static const QRegularExpression bells(QStringLiteral("^[01]{15}$"));
    static const QRegularExpression types(QStringLiteral("^[nsmb]{15}$"));
    if (!bells.match(document->bells).hasMatch() || !types.match(document->types).hasMatch()) {
        result.failure = failure(RingingReadFailure::NotARinging);
        return result;
    }
    if (!document->bells.contains(u'1')) {
        result.failure = failure(RingingReadFailure::NoBells);
        return result;
    }
    if (kind == RingingKind::User) {
        // A user ringing file's body is decoded here and once more by the
        // load: a body that the first decoding joins into a symbol pair
        // ("^<%" becomes "^%") is read as that pair.
        DecodeRingingText(document->body);
    }
    result.document = std::move(document);
    return result;
}

RingingRead readRingingDocument(const QString& path, RingingKind kind) {
    const RingingFileLines read = readRingingFileLines(path);
    if (!read) {
        RingingRead result;
        result.failure = read.failure;
        return result;
    }
    return ringingDocumentFromLines(*read.lines, kind);
}

RingingKind ringingKindOf(const QString& path, const QStringList& fileLines) {
    if (QFileInfo(path).suffix().toLower() == QStringLiteral("ukl")) {
        return RingingKind::User;
    }
    static const QRegularExpression bells(QStringLiteral("^[01]{15}$"));
    static const QRegularExpression types(QStringLiteral("^[nsmb]{15}$"));
    if (fileLines.size() >= 2 && bells.match(fileLines[0]).hasMatch() &&
        types.match(fileLines[1]).hasMatch()) {
        return RingingKind::List;
    }
    return RingingKind::Body;
}

namespace {

QString megabytes(qint64 bytes, const QLocale& locale) {
    return locale.toString(static_cast<double>(bytes) / (1024.0 * 1024.0), 'f', 1);
}

} // namespace

QString ringingFailureMessage(const QString& path, const RingingReadFailure& failure) {
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    const QString name = QFileInfo(path).fileName();
    const QString limits = QStringLiteral("Звон может занимать не более %1 МБ и %2 столбцов.")
                               .arg(kMaxRingingFileBytes / (1024 * 1024))
                               .arg(russian.toString(kMaxRingingColumns));
    switch (failure.reason) {
    case RingingReadFailure::TooLarge:
        return QStringLiteral("Файл звона «%1» слишком велик (%2 МБ) и не загружен. ")
                   .arg(name, megabytes(failure.bytes, russian)) +
               limits;
    case RingingReadFailure::TooManyColumns:
        return QStringLiteral("В файле звона «%1» слишком много столбцов (%2) и он не загружен. ")
                   .arg(name, russian.toString(failure.columns)) +
               limits;
    case RingingReadFailure::NoPreamble:
        return QStringLiteral("Файл звона «%1» повреждён и не загружен.").arg(name);
    case RingingReadFailure::Missing:
        return QStringLiteral("Файл звона «%1» не найден.").arg(name);
    case RingingReadFailure::NotAFile:
        return QStringLiteral("«%1» — не файл, а папка; звон не загружен.").arg(name);
    case RingingReadFailure::NotText:
    case RingingReadFailure::NotARinging:
        return QStringLiteral("Файл «%1» не является файлом колокольного звона и не загружен.").arg(name);
    case RingingReadFailure::NoBells:
        return QStringLiteral("В звоне «%1» не выбран ни один колокол; звон не загружен.").arg(name);
    case RingingReadFailure::Unreadable:
        break;
    }
    return QStringLiteral("Файл звона «%1» не удалось прочитать.").arg(name);
}

QString ringingFailureText(const QString& path, const RingingReadFailure& failure) {
    switch (failure.reason) {
    case RingingReadFailure::TooLarge:
        return QStringLiteral(
                   "%1: the file is too large (%2 bytes); a ringing file may hold at most %3 bytes")
            .arg(path)
            .arg(failure.bytes)
            .arg(kMaxRingingFileBytes);
    case RingingReadFailure::TooManyColumns:
        return QStringLiteral("%1: the ringing has too many columns (%2); a ringing may have at most %3")
            .arg(path)
            .arg(failure.columns)
            .arg(kMaxRingingColumns);
    case RingingReadFailure::NoPreamble:
        return QStringLiteral("%1: the file ends before its preamble lines and header").arg(path);
    case RingingReadFailure::Missing:
        return QStringLiteral("%1: no such file").arg(path);
    case RingingReadFailure::NotAFile:
        return QStringLiteral("%1: is a folder, not a ringing file").arg(path);
    case RingingReadFailure::NotText:
        return QStringLiteral("%1: holds NUL bytes; binary data is not a ringing").arg(path);
    case RingingReadFailure::NotARinging:
        return QStringLiteral("%1: the first lines are not a ringing's ensemble "
                              "(fifteen 0/1, then fifteen of n, s, m, b)")
            .arg(path);
    case RingingReadFailure::NoBells:
        return QStringLiteral("%1: the ensemble selects no bell").arg(path);
    case RingingReadFailure::Unreadable:
        break;
    }
    return QStringLiteral("%1: cannot be read").arg(path);
}

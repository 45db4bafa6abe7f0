#include "record/RingingEdit.h"

#include "ringing/RingingReader.h"
#include "ringing/TChannels.h"

#include <QLocale>
#include <QRegularExpression>

#include <algorithm>

namespace {

constexpr std::array<QChar, 3> kGroupLetters = {u's', u'm', u'b'};

// Room kept for the preamble of the file (ensemble lines and the name).
constexpr qint64 kPreambleReserve = 4096;

// What one body line can take in an encoded file: a comma may become two
// symbols, an "m" two, and the line's end one symbol.
qint64 encodedBytesBound(const QString& line) {
    return line.size() + line.count(u',') + line.count(u'm') + 1;
}

qint64 encodedBytesBound(const QStringList& lines) {
    qint64 bytes = 0;
    for (const QString& line : lines) {
        bytes += encodedBytesBound(line);
    }
    return bytes;
}

QStringList emptyColumns(qsizetype count) {
    QStringList lines;
    lines.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        lines.append(QString());
    }
    return lines;
}

// Replaces `removed` lines from `at` by `inserted`. Lines are overwritten in
// place as far as the counts agree, so a change of one column costs the same
// in a ringing of any length; only a change of length moves what follows.
void spliceLines(QStringList& lines, qsizetype at, qsizetype removed, const QStringList& inserted) {
    at = std::clamp<qsizetype>(at, 0, lines.size());
    removed = std::clamp<qsizetype>(removed, 0, lines.size() - at);
    const qsizetype common = std::min(removed, inserted.size());
    for (qsizetype i = 0; i < common; ++i) {
        lines[at + i] = inserted.at(i);
    }
    if (removed > common) {
        lines.remove(at + common, removed - common);
    } else if (inserted.size() > common) {
        lines.insert(at + common, inserted.size() - common, QString());
        for (qsizetype i = common; i < inserted.size(); ++i) {
            lines[at + i] = inserted.at(i);
        }
    }
}

} // namespace

RingingEdit::RingingEdit(const QString& header, const QStringList& columns)
    : m_header(header), m_columns(columns), m_bytes(encodedBytesBound(columns)) {}

RingingEdit RingingEdit::fromBody(const QStringList& body) {
    if (body.isEmpty()) {
        return RingingEdit();
    }
    return RingingEdit(body.first(), body.mid(1));
}

RingingEdit RingingEdit::blank() {
    return RingingEdit(QString::number(kDefaultInterval), emptyColumns(kNewRingingColumns));
}

QStringList RingingEdit::body() const {
    QStringList lines;
    lines.reserve(m_columns.size() + 1);
    lines.append(m_header);
    lines.append(m_columns);
    return lines;
}

QString RingingEdit::text() const {
    QString out = m_header + QStringLiteral("\r\n");
    for (const QString& line : m_columns) {
        out += line;
        out += QStringLiteral("\r\n");
    }
    return out;
}

int RingingEdit::interval() const {
    bool ok = false;
    const int value = m_header.section(u';', 0, 0).trimmed().toInt(&ok);
    return ok ? value : kDefaultInterval;
}

QString RingingEdit::headerWithInterval(int milliseconds) const {
    const qsizetype mark = m_header.indexOf(u';');
    return QString::number(milliseconds) + (mark >= 0 ? m_header.mid(mark) : QString());
}

ColumnSplice RingingEdit::toggleSplice(int column, const QString& token) const {
    column = std::max(column, 0);
    if (column < m_columns.size()) {
        return {column, {m_columns.at(column)}, {toggledColumn(m_columns.at(column), token)}};
    }
    QStringList lines = emptyColumns(column - m_columns.size());
    lines.append(token);
    return {int(m_columns.size()), {}, lines};
}

ColumnSplice RingingEdit::insertSplice(int at, const QStringList& lines) const {
    at = std::max(at, 0);
    if (at <= m_columns.size()) {
        return {at, {}, lines};
    }
    QStringList padded = emptyColumns(at - m_columns.size());
    padded.append(lines);
    return {int(m_columns.size()), {}, padded};
}

ColumnSplice RingingEdit::removeSplice(int first, int count) const {
    return replaceSplice(first, count, {});
}

ColumnSplice RingingEdit::replaceSplice(int first, int count, const QStringList& lines) const {
    first = std::clamp(first, 0, int(m_columns.size()));
    count = std::clamp(count, 0, int(m_columns.size()) - first);
    return {first, m_columns.mid(first, count), lines};
}

std::optional<QString> RingingEdit::refusal(const ColumnSplice& splice) const {
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    // The reader counts the line-break symbol that ends the last column as
    // the start of one more, so a saved ringing may hold one column fewer
    // than the reader's limit.
    const qint64 columns = m_columns.size() + splice.growth();
    if (columns + 1 > kMaxRingingColumns) {
        return QStringLiteral("Изменение не выполнено: в звоне может быть не более %1 столбцов, "
                              "а стало бы %2.")
            .arg(russian.toString(kMaxRingingColumns - 1), russian.toString(columns));
    }
    const qint64 bytes = m_bytes - encodedBytesBound(splice.removed) + encodedBytesBound(splice.inserted) +
                         encodedBytesBound(m_header) + kPreambleReserve;
    if (bytes > kMaxRingingFileBytes) {
        return QStringLiteral("Изменение не выполнено: файл звона не может быть больше %1 МБ.")
            .arg(kMaxRingingFileBytes / (1024 * 1024));
    }
    return std::nullopt;
}

void RingingEdit::apply(const ColumnSplice& splice) {
    spliceLines(m_columns, splice.at, splice.removed.size(), splice.inserted);
    m_bytes += encodedBytesBound(splice.inserted) - encodedBytesBound(splice.removed);
}

QString strikeTokenOf(int group, int position) {
    if (group < 0 || group >= int(kGroupLetters.size())) {
        return {};
    }
    return QString(kGroupLetters[static_cast<size_t>(group)]) + QString::number(position);
}

QString toggledColumn(const QString& column, const QString& token) {
    QStringList tokens = column.isEmpty() ? QStringList() : column.split(u',');
    if (tokens.removeAll(token) == 0) {
        tokens.append(token);
    }
    return tokens.join(u',');
}

std::array<QString, 3> splitColumnByGroup(const QString& column) {
    // The rule of the common score's split: a comma before every token but
    // the first of its group's text.
    std::array<QString, 3> groups;
    if (column.isEmpty()) {
        return groups;
    }
    for (const QString& token : column.split(u',')) {
        const QChar first = token.isEmpty() ? QChar() : token.at(0);
        const auto letter = std::find(kGroupLetters.begin(), kGroupLetters.end(), first);
        if (letter == kGroupLetters.end()) {
            continue;
        }
        QString& text = groups[static_cast<size_t>(letter - kGroupLetters.begin())];
        if (text.size() > 1) {
            text += u',';
        }
        text += token;
    }
    return groups;
}

void applySpliceToChannels(TChannels& channels, const ColumnSplice& splice) {
    spliceLines(channels.common(), splice.at, splice.removed.size(), splice.inserted);
    std::array<QStringList, 3> parts;
    for (const QString& line : splice.inserted) {
        const std::array<QString, 3> groups = splitColumnByGroup(line);
        for (size_t g = 0; g < parts.size(); ++g) {
            parts[g].append(groups[g]);
        }
    }
    for (int g = 0; g < TChannels::kGroupCount; ++g) {
        spliceLines(channels.score(g), splice.at, splice.removed.size(), parts[static_cast<size_t>(g)]);
    }
}

QString columnsToClipboardText(const QStringList& columns) {
    // Every column ends in a line break, so empty columns at the end survive.
    QString text;
    for (const QString& line : columns) {
        text += line + u'\n';
    }
    return text;
}

std::optional<QStringList> columnsFromClipboardText(const QString& text) {
    static const QRegularExpression column(QStringLiteral("^([smb][0-9](,[smb][0-9])*)?$"));
    if (text.isEmpty()) {
        return std::nullopt;
    }
    QString normalised = text;
    normalised.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    if (normalised.endsWith(u'\n')) {
        normalised.chop(1);
    }
    QStringList lines = normalised.split(u'\n');
    for (QString& line : lines) {
        line = line.trimmed();
        if (!column.match(line).hasMatch()) {
            return std::nullopt;
        }
    }
    return lines;
}

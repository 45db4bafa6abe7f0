#include "RingingSource.h"

#include <QHash>
#include <QRegularExpression>

#include <algorithm>

namespace {

struct Pattern {
    int length = 0;
    QList<QStringList> columns;
};

struct PlayItem {
    QString pattern; // empty for a rest
    int repeats = 1;
    int restColumns = 0;
    int line = 0;
};

int groupRank(QChar letter) {
    return letter == u's' ? 0 : letter == u'm' ? 1 : 2;
}

bool tokenLess(const QString& a, const QString& b) {
    if (a.at(0) != b.at(0)) {
        return groupRank(a.at(0)) < groupRank(b.at(0));
    }
    return a.mid(1).toInt() < b.mid(1).toInt();
}

class Parser {
public:
    Parser(const QString& origin) : m_origin(origin) {}

    SourceParse run(const QString& text) {
        const QStringList lines = text.split(u'\n');
        for (int i = 0; i < lines.size(); ++i) {
            m_line = i + 1;
            QString line = lines.at(i);
            const qsizetype hash = line.indexOf(u'#');
            if (hash >= 0) {
                line.truncate(hash);
            }
            line = line.trimmed();
            if (!line.isEmpty()) {
                parseLine(line);
            }
        }
        finish();
        SourceParse result;
        result.errors = m_errors;
        if (m_errors.isEmpty()) {
            result.ringing = m_ringing;
        }
        return result;
    }

private:
    void error(const QString& message, int line = -1) {
        m_errors.append(QStringLiteral("%1:%2: %3").arg(m_origin).arg(line < 0 ? m_line : line).arg(message));
    }

    void parseLine(const QString& line) {
        static const QRegularExpression keyValue(QStringLiteral("^([a-z]+)\\s*=\\s*(.*)$"));
        static const QRegularExpression row(QStringLiteral("^([smb][1-9](?:\\+[smb][1-9])*)\\s+(.*)$"));
        if (const auto m = keyValue.match(line); m.hasMatch()) {
            m_current = nullptr;
            setKey(m.captured(1), m.captured(2).trimmed());
            return;
        }
        const QStringList words = line.split(QRegularExpression(QStringLiteral("\\s+")));
        if (words.first() == u"pattern") {
            startPattern(words);
            return;
        }
        if (words.first() == u"play") {
            m_current = nullptr;
            for (int i = 1; i < words.size(); ++i) {
                addPlayItem(words.at(i));
            }
            return;
        }
        if (const auto m = row.match(line); m.hasMatch()) {
            addRow(m.captured(1).split(u'+'), m.captured(2));
            return;
        }
        error(QStringLiteral("cannot read \"%1\"").arg(line));
    }

    void setKey(const QString& key, const QString& value) {
        if (!m_seenKeys.contains(key)) {
            m_seenKeys.append(key);
        } else {
            error(QStringLiteral("\"%1\" given twice").arg(key));
        }
        if (key == u"name") {
            m_ringing.name = value;
        } else if (key == u"form") {
            m_ringing.form = value;
        } else if (key == u"require") {
            m_ringing.require = value;
        } else if (key == u"marks") {
            m_ringing.marks = value;
        } else if (key == u"types") {
            m_ringing.types = QString(value).remove(u' ');
        } else if (key == u"description") {
            m_ringing.description = value;
        } else if (key == u"interval") {
            bool ok = false;
            m_ringing.interval = value.toInt(&ok);
            if (!ok) {
                error(QStringLiteral("interval \"%1\" is not a whole number").arg(value));
            }
        } else if (key == u"store") {
            if (value == u"encoded") {
                m_ringing.encoded = true;
            } else if (value != u"plain") {
                error(QStringLiteral("store must be \"plain\" or \"encoded\", not \"%1\"").arg(value));
            }
        } else {
            error(QStringLiteral("unknown key \"%1\"").arg(key));
        }
    }

    void startPattern(const QStringList& words) {
        m_current = nullptr;
        bool ok = false;
        const int length = words.size() == 3 ? words.at(2).toInt(&ok) : 0;
        if (!ok || length <= 0) {
            error(QStringLiteral("write a pattern as \"pattern <name> <columns>\""));
            return;
        }
        const QString& name = words.at(1);
        if (m_patterns.contains(name)) {
            error(QStringLiteral("pattern \"%1\" defined twice").arg(name));
            return;
        }
        Pattern& pattern = m_patterns[name];
        pattern.length = length;
        pattern.columns.resize(length);
        m_current = &pattern;
    }

    // A row shorter than its pattern repeats to fill it, so "x..............."
    // in a pattern of 64 columns strikes once a bar.
    void addRow(const QStringList& tokens, QString cells) {
        if (m_current == nullptr) {
            error(QStringLiteral("a strike row outside a pattern"));
            return;
        }
        cells.remove(u' ').remove(u'\t').remove(u'|');
        const int count = int(cells.size());
        if (count == 0 || m_current->length % count != 0) {
            error(QStringLiteral("a row of %1 cells does not fill a pattern of %2 columns")
                      .arg(count)
                      .arg(m_current->length));
            return;
        }
        for (int c = 0; c < count; ++c) {
            if (cells.at(c) != u'x' && cells.at(c) != u'.') {
                error(QStringLiteral("cell \"%1\" is neither \"x\" (strike) nor \".\" (rest)")
                          .arg(cells.at(c)));
                return;
            }
        }
        for (int col = 0; col < m_current->length; ++col) {
            if (cells.at(col % count) != u'x') {
                continue;
            }
            QStringList& column = m_current->columns[col];
            for (const QString& token : tokens) {
                if (column.contains(token)) {
                    error(
                        QStringLiteral("%1 is struck twice in column %2 of the pattern").arg(token).arg(col));
                    return;
                }
                column.append(token);
            }
        }
    }

    void addPlayItem(const QString& word) {
        static const QRegularExpression rest(QStringLiteral("^~(\\d+)$"));
        static const QRegularExpression repeat(QStringLiteral("^([^*~]+)(?:\\*(\\d+))?$"));
        PlayItem item;
        item.line = m_line;
        if (const auto m = rest.match(word); m.hasMatch()) {
            item.restColumns = m.captured(1).toInt();
        } else if (const auto r = repeat.match(word); r.hasMatch()) {
            item.pattern = r.captured(1);
            item.repeats = r.captured(2).isEmpty() ? 1 : r.captured(2).toInt();
        }
        if (item.pattern.isEmpty() && item.restColumns <= 0) {
            error(QStringLiteral("cannot read play item \"%1\"").arg(word));
            return;
        }
        m_play.append(item);
    }

    void finish() {
        for (const QString& key : {QStringLiteral("name"), QStringLiteral("interval")}) {
            if (!m_seenKeys.contains(key)) {
                error(QStringLiteral("\"%1\" is missing").arg(key), 0);
            }
        }
        if (m_play.isEmpty()) {
            error(QStringLiteral("nothing to play: add a \"play\" line"), 0);
        }
        for (const PlayItem& item : m_play) {
            if (item.pattern.isEmpty()) {
                for (int i = 0; i < item.restColumns; ++i) {
                    m_ringing.columns.append(QStringList());
                }
                continue;
            }
            const auto found = m_patterns.constFind(item.pattern);
            if (found == m_patterns.constEnd()) {
                error(QStringLiteral("no pattern \"%1\"").arg(item.pattern), item.line);
                continue;
            }
            for (int r = 0; r < item.repeats; ++r) {
                m_ringing.columns.append(found->columns);
            }
        }
        for (QStringList& column : m_ringing.columns) {
            std::sort(column.begin(), column.end(), tokenLess);
        }
    }

    QString m_origin;
    int m_line = 0;
    RingingSource m_ringing;
    QStringList m_seenKeys;
    QHash<QString, Pattern> m_patterns;
    Pattern* m_current = nullptr;
    QList<PlayItem> m_play;
    QStringList m_errors;
};

} // namespace

QStringList RingingSource::bodyLines() const {
    QStringList lines;
    lines.append(marks.isEmpty() ? QString::number(interval) : QString::number(interval) + u';' + marks);
    for (const QStringList& column : columns) {
        lines.append(column.join(u','));
    }
    return lines;
}

SourceParse parseRingingSource(const QString& text, const QString& origin) {
    Parser parser(origin);
    SourceParse result = parser.run(text);
    if (result.ringing) {
        result.ringing->origin = origin;
    }
    return result;
}

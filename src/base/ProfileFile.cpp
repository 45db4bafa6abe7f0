#include "base/ProfileFile.h"

#include "base/AtomicFile.h"
#include "base/Numbers.h"
#include "base/TextCodec.h"

#include <QFile>
#include <QFileInfo>

#include <optional>

namespace {

std::optional<QString> sectionName(const QString& line) {
    const QString t = line.trimmed();
    if (t.startsWith(u'[')) {
        const qsizetype close = t.indexOf(u']');
        if (close > 0) {
            return t.mid(1, close - 1).trimmed();
        }
    }
    return std::nullopt;
}

// The key of a "Key=Value" line, or nothing for other lines.
std::optional<QString> keyName(const QString& line) {
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0) {
        return std::nullopt;
    }
    return line.left(eq).trimmed();
}

QString valueOf(const QString& line) {
    QString v = line.mid(line.indexOf(u'=') + 1).trimmed();
    if (v.size() >= 2 &&
        ((v.startsWith(u'"') && v.endsWith(u'"')) || (v.startsWith(u'\'') && v.endsWith(u'\'')))) {
        v = v.mid(1, v.size() - 2);
    }
    return v;
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

struct KeyLocation {
    qsizetype sectionLine = -1; // line of "[Section]", -1 when missing
    qsizetype keyLine = -1;     // line of the key inside it, -1 when missing
    qsizetype insertAt = -1;    // where a new key of the section goes
};

KeyLocation locate(const QStringList& lines, const QString& section, const QString& key) {
    KeyLocation loc;
    bool inSection = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const auto name = sectionName(lines[i])) {
            if (inSection) {
                break; // the section ended without the key
            }
            if (sameName(*name, section)) {
                inSection = true;
                loc.sectionLine = i;
                loc.insertAt = i + 1;
            }
            continue;
        }
        if (!inSection) {
            continue;
        }
        if (!lines[i].trimmed().isEmpty()) {
            loc.insertAt = i + 1;
        }
        if (const auto name = keyName(lines[i]); name && sameName(*name, key)) {
            loc.keyLine = i;
            return loc;
        }
    }
    return loc;
}

// A file's lines as bytes, each with its own line end, so that a rewrite
// keeps every line it does not change byte for byte (a line the codec could
// not carry, a lone LF, a byte-order mark included).
struct RawLines {
    QList<QByteArray> text; // without the line end (the first with any byte-order mark)
    QList<QByteArray> ends; // "\r\n", "\r", "\n" or "" for a last line without one
    QStringList decoded;    // as the readers see the lines

    static RawLines split(const QByteArray& bytes) {
        RawLines lines;
        qsizetype start = 0;
        const qsizetype n = bytes.size();
        while (start < n) {
            qsizetype end = start;
            while (end < n && bytes[end] != '\r' && bytes[end] != '\n') {
                ++end;
            }
            qsizetype next = end;
            if (next < n && bytes[next] == '\r') {
                ++next;
            }
            if (next < n && bytes[next] == '\n' && (next == end || bytes[end] == '\r')) {
                ++next;
            }
            lines.text.append(bytes.mid(start, end - start));
            lines.ends.append(bytes.mid(end, next - end));
            start = next;
        }
        for (qsizetype i = 0; i < lines.text.size(); ++i) {
            lines.decoded.append(decode1251(i == 0 ? withoutByteOrderMark(lines.text[i]) : lines.text[i]));
        }
        return lines;
    }

    void insert(qsizetype at, const QString& line) {
        // The line before a new one needs an end of its own.
        if (at > 0 && ends[at - 1].isEmpty()) {
            ends[at - 1] = QByteArrayLiteral("\r\n");
        }
        text.insert(at, encode1251(line));
        ends.insert(at, QByteArrayLiteral("\r\n"));
        decoded.insert(at, line);
    }

    void replace(qsizetype at, const QString& line) {
        const QByteArray mark = at == 0 && withoutByteOrderMark(text[0]).size() != text[0].size()
                                    ? text[0].left(text[0].size() - withoutByteOrderMark(text[0]).size())
                                    : QByteArray();
        text[at] = mark + encode1251(line);
        decoded[at] = line;
    }

    QByteArray joined() const {
        QByteArray bytes;
        for (qsizetype i = 0; i < text.size(); ++i) {
            bytes += text[i];
            bytes += ends[i];
        }
        return bytes;
    }
};

// The file's lines for a rewrite: none for a missing file, nothing for one
// that exists but cannot be read (it is never rewritten from a blank).
std::optional<RawLines> readForRewrite(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (!QFileInfo::exists(path)) {
            return RawLines{};
        }
        qCWarning(lcFiles) << "cannot read" << path << "; it is not rewritten";
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        qCWarning(lcFiles) << "cannot read" << path << "; it is not rewritten";
        return std::nullopt;
    }
    return RawLines::split(bytes);
}

} // namespace

ProfileFile::ProfileFile(QString path) : m_path(std::move(path)) {}

bool ProfileFile::exists() const {
    return QFileInfo(m_path).isFile();
}

QString ProfileFile::readString(const QString& section, const QString& key,
                                const QString& defaultValue) const {
    const auto lines = readTextLines(m_path);
    if (!lines) {
        return defaultValue;
    }
    const KeyLocation loc = locate(*lines, section, key);
    if (loc.keyLine < 0) {
        return defaultValue;
    }
    return valueOf(lines->at(loc.keyLine));
}

bool ProfileFile::hasKey(const QString& section, const QString& key) const {
    const auto lines = readTextLines(m_path);
    return lines && locate(*lines, section, key).keyLine >= 0;
}

int ProfileFile::readInteger(const QString& section, const QString& key, int defaultValue) const {
    const auto lines = readTextLines(m_path);
    if (!lines) {
        return defaultValue;
    }
    const KeyLocation loc = locate(*lines, section, key);
    if (loc.keyLine < 0) {
        return defaultValue;
    }
    return numbers::parseLeadingNumber(valueOf(lines->at(loc.keyLine)));
}

bool ProfileFile::readBool(const QString& section, const QString& key, bool defaultValue) const {
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool ProfileFile::writeString(const QString& section, const QString& key, const QString& value) {
    std::optional<RawLines> lines = readForRewrite(m_path);
    if (!lines) {
        return false;
    }
    const QString entry = key + u'=' + value;
    const KeyLocation loc = locate(lines->decoded, section, key);
    if (loc.keyLine >= 0 && valueOf(lines->decoded.at(loc.keyLine)) == value) {
        // Already stored: the file is left byte for byte as it is.
        return true;
    }
    if (loc.keyLine >= 0) {
        lines->replace(loc.keyLine, entry);
    } else if (loc.sectionLine >= 0) {
        lines->insert(loc.insertAt, entry);
    } else {
        lines->insert(lines->text.size(), u'[' + section + u']');
        lines->insert(lines->text.size(), entry);
    }
    return writeFileAtomically(m_path, lines->joined());
}

bool ProfileFile::writeInteger(const QString& section, const QString& key, int value) {
    return writeString(section, key, QString::number(value));
}

bool ProfileFile::writeBool(const QString& section, const QString& key, bool value) {
    return writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool ProfileFile::writeAllLines(const QStringList& lines) {
    if (!readForRewrite(m_path)) {
        return false;
    }
    return writeTextLines(m_path, lines);
}

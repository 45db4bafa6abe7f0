#include "base/ProfileFile.h"

#include "base/Numbers.h"
#include "base/TextCodec.h"

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
    QStringList lines = readTextLines(m_path).value_or(QStringList());
    const QString entry = key + u'=' + value;
    const KeyLocation loc = locate(lines, section, key);
    if (loc.keyLine >= 0 && valueOf(lines.at(loc.keyLine)) == value) {
        // Already stored: the file is left byte for byte as it is.
        return true;
    }
    if (loc.keyLine >= 0) {
        lines[loc.keyLine] = entry;
    } else if (loc.sectionLine >= 0) {
        lines.insert(loc.insertAt, entry);
    } else {
        lines.append(u'[' + section + u']');
        lines.append(entry);
    }
    return writeTextLines(m_path, lines);
}

bool ProfileFile::writeInteger(const QString& section, const QString& key, int value) {
    return writeString(section, key, QString::number(value));
}

bool ProfileFile::writeBool(const QString& section, const QString& key, bool value) {
    return writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool ProfileFile::writeAllLines(const QStringList& lines) {
    return writeTextLines(m_path, lines);
}

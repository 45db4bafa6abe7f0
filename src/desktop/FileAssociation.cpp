#include "desktop/FileAssociation.h"

#include "base/AtomicFile.h"
#include "base/Logging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

QByteArray resource(const QString& name) {
    QFile file(QStringLiteral(":/desktop/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString xdgFolder(const char* variable, const QString& fallback) {
    const QString value = qEnvironmentVariable(variable);
    // XDG base directories given as relative paths are ignored.
    return !value.isEmpty() && QDir::isAbsolutePath(value) ? value : QDir::homePath() + fallback;
}

// Writes only a content that differs from the file's; true when written.
bool writeIfChanged(const QString& path, const QByteArray& content) {
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == content) {
        return false;
    }
    existing.close();
    if (QDir().mkpath(QFileInfo(path).absolutePath()) && writeFileAtomically(path, content)) {
        return true;
    }
    // The association is a convenience: the program runs without it.
    qCWarning(lcDesktop) << "could not write" << path;
    return false;
}

void runTool(const QString& name, const QStringList& arguments) {
    const QString tool = QStandardPaths::findExecutable(name);
    if (tool.isEmpty()) {
        return;
    }
    QProcess process;
    // Their complaints (a folder outside the search path) are not ours to show.
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(tool, arguments);
    if (!process.waitForFinished(10000)) {
        qCWarning(lcDesktop) << name << "did not finish within 10 s";
        process.kill();
        process.waitForFinished(1000);
    }
}

} // namespace

FileAssociation::FileAssociation(QString dataHome, QString configHome)
    : m_dataHome(std::move(dataHome)), m_configHome(std::move(configHome)) {}

FileAssociation FileAssociation::forUser() {
    return FileAssociation(xdgFolder("XDG_DATA_HOME", QStringLiteral("/.local/share")),
                           xdgFolder("XDG_CONFIG_HOME", QStringLiteral("/.config")));
}

QString FileAssociation::mimePackagePath() const {
    return m_dataHome + QStringLiteral("/mime/packages/campanix-ringing.xml");
}

QString FileAssociation::desktopEntryPath() const {
    return m_dataHome + QStringLiteral("/applications/") + kDesktopFileName;
}

QString FileAssociation::iconPath() const {
    return m_dataHome + QStringLiteral("/icons/hicolor/64x64/apps/") + kIconName + QStringLiteral(".png");
}

QString FileAssociation::mimeAppsPath() const {
    return m_configHome + QStringLiteral("/mimeapps.list");
}

QByteArray FileAssociation::mimePackage() {
    return resource(QStringLiteral("campanix-ringing.xml"));
}

QByteArray FileAssociation::desktopEntry(const QString& executable) {
    QByteArray text = resource(QStringLiteral("campanix.desktop.in"));
    text.replace("@EXEC@", execArgument(executable).toUtf8());
    return text;
}

QString FileAssociation::execArgument(const QString& argument) {
    // Exec quoting: an argument with a reserved character goes in double
    // quotes, with '"', '`', '$' and '\' escaped by a backslash inside; '%'
    // is doubled everywhere. The key's value is itself a string, whose own
    // escaping doubles every backslash once more.
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString text = argument;
    text.replace(u'%', QStringLiteral("%%"));
    bool needsQuotes = false;
    for (const QChar c : argument) {
        needsQuotes = needsQuotes || reserved.contains(c);
    }
    if (needsQuotes) {
        QString quoted;
        for (const QChar c : text) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') {
                quoted += u'\\';
            }
            quoted += c;
        }
        text = u'"' + quoted + u'"';
    }
    text.replace(u'\\', QStringLiteral("\\\\"));
    return text;
}

QByteArray FileAssociation::withDefaultApplication(const QByteArray& mimeApps) {
    const QByteArray section = "[Default Applications]";
    const QByteArray entry = kMimeType.toUtf8() + '=' + kDesktopFileName.toUtf8();
    QList<QByteArray> lines = mimeApps.split('\n');
    if (!lines.isEmpty() && lines.constLast().isEmpty()) {
        lines.removeLast();
    }
    qsizetype sectionLine = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        if (line.startsWith('[')) {
            if (sectionLine >= 0) {
                break;
            }
            if (line == section) {
                sectionLine = i;
            }
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (sectionLine >= 0 && equals > 0 && line.left(equals).trimmed() == kMimeType.toUtf8()) {
            // The user's choice stands.
            return mimeApps;
        }
    }
    if (sectionLine >= 0) {
        lines.insert(sectionLine + 1, entry);
    } else {
        if (!lines.isEmpty() && !lines.constLast().trimmed().isEmpty()) {
            lines.append(QByteArray());
        }
        lines.append(section);
        lines.append(entry);
    }
    return lines.join('\n') + '\n';
}

bool FileAssociation::registerProgram(const QString& executable, const QByteArray& iconPng) const {
    bool changed = false;
    const QByteArray package = mimePackage();
    const QByteArray entry = desktopEntry(executable);
    if (package.isEmpty() || entry.isEmpty()) {
        return false;
    }
    const bool mimeChanged = writeIfChanged(mimePackagePath(), package);
    const bool entryChanged = writeIfChanged(desktopEntryPath(), entry);
    changed = mimeChanged || entryChanged;
    if (!iconPng.isEmpty()) {
        changed = writeIfChanged(iconPath(), iconPng) || changed;
    }
    QFile apps(mimeAppsPath());
    const QByteArray before = apps.open(QIODevice::ReadOnly) ? apps.readAll() : QByteArray();
    apps.close();
    const QByteArray after = withDefaultApplication(before);
    if (after != before) {
        changed = writeIfChanged(mimeAppsPath(), after) || changed;
    }
    // The databases are rebuilt when our files changed, and when a cache is
    // missing (the user removed it, or a first start before the tools existed).
    if (mimeChanged || entryChanged || !QFileInfo::exists(m_dataHome + QStringLiteral("/mime/mime.cache"))) {
        refreshDatabases();
    }
    return changed;
}

void FileAssociation::refreshDatabases() const {
    runTool(QStringLiteral("update-mime-database"), {m_dataHome + QStringLiteral("/mime")});
    runTool(QStringLiteral("update-desktop-database"), {m_dataHome + QStringLiteral("/applications")});
}

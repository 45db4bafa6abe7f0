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

// A file of the user's: its bytes, empty when there is none, nothing when
// it exists and cannot be read (a link to nowhere, not a file, no right to
// read it), as writing over it would lose what the user put there.
std::optional<QByteArray> readUserFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) {
        return QByteArray();
    }
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return std::nullopt;
    }
    return bytes;
}

// Where a new content of the user's file goes: through a link to the file
// it names, so that a list kept elsewhere and linked here stays linked.
QString writeTarget(const QString& path) {
    const QFileInfo info(path);
    return info.isSymLink() ? info.canonicalFilePath() : path;
}

// The line of the "[Default Applications]" section's header (-1 when there
// is none) and whether the section names a default for the type.
struct DefaultsSection {
    qsizetype headerLine = -1;
    bool namesType = false;
};

DefaultsSection findDefaults(const QList<QByteArray>& lines) {
    const QByteArray type = FileAssociation::kMimeType.toUtf8();
    DefaultsSection found;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        if (line.startsWith('[')) {
            if (found.headerLine >= 0) {
                break;
            }
            if (line == "[Default Applications]") {
                found.headerLine = i;
            }
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (found.headerLine >= 0 && equals > 0 && line.left(equals).trimmed() == type) {
            found.namesType = true;
            break;
        }
    }
    return found;
}

void runInstalledTool(const QString& name, const QStringList& arguments) {
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
    : FileAssociation(std::move(dataHome), std::move(configHome), runInstalledTool) {}

FileAssociation::FileAssociation(QString dataHome, QString configHome, ToolRunner runTool)
    : m_dataHome(std::move(dataHome)), m_configHome(std::move(configHome)), m_runTool(std::move(runTool)) {}

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

QString FileAssociation::legacyMimeAppsPath() const {
    return m_dataHome + QStringLiteral("/applications/mimeapps.list");
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

bool FileAssociation::hasDefaultApplication(const QByteArray& mimeApps) {
    return findDefaults(mimeApps.split('\n')).namesType;
}

QByteArray FileAssociation::withDefaultApplication(const QByteArray& mimeApps) {
    const QByteArray entry = kMimeType.toUtf8() + '=' + kDesktopFileName.toUtf8();
    QList<QByteArray> lines = mimeApps.split('\n');
    if (!lines.isEmpty() && lines.constLast().isEmpty()) {
        lines.removeLast();
    }
    const DefaultsSection defaults = findDefaults(lines);
    if (defaults.namesType) {
        // The user's choice stands.
        return mimeApps;
    }
    if (defaults.headerLine >= 0) {
        lines.insert(defaults.headerLine + 1, entry);
    } else {
        if (!lines.isEmpty() && !lines.constLast().trimmed().isEmpty()) {
            lines.append(QByteArray());
        }
        lines.append("[Default Applications]");
        lines.append(entry);
    }
    return lines.join('\n') + '\n';
}

bool FileAssociation::setDefaultApplication() const {
    // A choice made in the older list still counts with the desktop's tools;
    // one that cannot be read might hold it.
    const std::optional<QByteArray> legacy = readUserFile(legacyMimeAppsPath());
    if (!legacy || hasDefaultApplication(*legacy)) {
        if (!legacy) {
            qCWarning(lcDesktop) << "cannot read" << legacyMimeAppsPath() << "- no default is set";
        }
        return false;
    }
    const std::optional<QByteArray> before = readUserFile(mimeAppsPath());
    if (!before) {
        qCWarning(lcDesktop) << "cannot read" << mimeAppsPath() << "- it is left as it is";
        return false;
    }
    const QByteArray after = withDefaultApplication(*before);
    return after != *before && writeIfChanged(writeTarget(mimeAppsPath()), after);
}

bool FileAssociation::registerProgram(const QString& executable, const QByteArray& iconPng) const {
    const QByteArray package = mimePackage();
    const QByteArray entry = desktopEntry(executable);
    if (package.isEmpty() || entry.isEmpty()) {
        return false;
    }
    const bool mimeChanged = writeIfChanged(mimePackagePath(), package);
    const bool entryChanged = writeIfChanged(desktopEntryPath(), entry);
    bool changed = mimeChanged || entryChanged;
    if (!iconPng.isEmpty()) {
        changed = writeIfChanged(iconPath(), iconPng) || changed;
    }
    // A default naming an entry that was never written would leave the
    // user's files opening with nothing.
    if (QFileInfo(desktopEntryPath()).isFile()) {
        changed = setDefaultApplication() || changed;
    }
    // The databases are rebuilt when our files changed, and when the cache
    // is missing beside our package (the user removed it, or a first start
    // before the tools existed), but not at every start for a folder the
    // tool cannot write either.
    const QString mimeFolder = m_dataHome + QStringLiteral("/mime");
    const bool cacheMissing = !QFileInfo::exists(mimeFolder + QStringLiteral("/mime.cache")) &&
                              QFileInfo(mimePackagePath()).isFile() && QFileInfo(mimeFolder).isWritable();
    if (mimeChanged || entryChanged || cacheMissing) {
        refreshDatabases();
    }
    return changed;
}

void FileAssociation::refreshDatabases() const {
    if (!m_runTool) {
        return;
    }
    m_runTool(QStringLiteral("update-mime-database"), {m_dataHome + QStringLiteral("/mime")});
    m_runTool(QStringLiteral("update-desktop-database"), {m_dataHome + QStringLiteral("/applications")});
}

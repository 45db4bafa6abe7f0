#include "base/PathTable.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryFile>

// Where the install rules put the data, relative to the prefix and to the
// executables' folder; the build passes the values of its install layout.
#ifndef CAMPANIX_INSTALL_DATA_SUBDIR
#define CAMPANIX_INSTALL_DATA_SUBDIR "share/campanix"
#endif
#ifndef CAMPANIX_DATA_FROM_BIN
#define CAMPANIX_DATA_FROM_BIN "../share/campanix"
#endif

namespace {

QString withSlash(QString dir) {
    dir = QDir::fromNativeSeparators(dir);
    if (!dir.endsWith(u'/')) {
        dir += u'/';
    }
    return dir;
}

QString xdgFolder(const char* variable, const QString& homeRelative) {
    QString base = qEnvironmentVariable(variable);
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) {
        base = QDir::homePath() + u'/' + homeRelative;
    }
    return withSlash(base) + QStringLiteral("campanix/");
}

} // namespace

PathTable::PathTable(const QString& programDir, bool writable, const QString& configDir,
                     const QString& dataDir)
    : m_programDir(withSlash(programDir)), m_writable(writable), m_configDir(withSlash(configDir)),
      m_dataDir(withSlash(dataDir)) {
    m_sampleFolder = soundRoot();
}

QString PathTable::programDirFor(const QString& executableDir) {
    const QString beside = withSlash(executableDir);
    if (QFile::exists(beside + QStringLiteral("Data/desc.kli"))) {
        return beside;
    }
    const QString fromBin = QStringLiteral(CAMPANIX_DATA_FROM_BIN);
    const QString installed =
        withSlash(QDir::cleanPath(QDir::isAbsolutePath(fromBin) ? fromBin : beside + fromBin));
    if (isInstalledDataDir(installed) && QDir(installed).exists()) {
        return installed;
    }
    return beside;
}

bool PathTable::isInstalledDataDir(const QString& dir) {
    const QString clean = QDir::cleanPath(QDir::fromNativeSeparators(dir));
    const QString subdir = QStringLiteral(CAMPANIX_INSTALL_DATA_SUBDIR);
    return clean == subdir || clean.endsWith(u'/' + subdir);
}

PathTable PathTable::forExecutable(const QString& programDir) {
    return PathTable(programDir, !isInstalledDataDir(programDir) && isFolderWritable(programDir),
                     xdgFolder("XDG_CONFIG_HOME", ".config"), xdgFolder("XDG_DATA_HOME", ".local/share"));
}

bool PathTable::isFolderWritable(const QString& dir) {
    QTemporaryFile probe(withSlash(dir) + QStringLiteral(".campanix-write-test-XXXXXX"));
    return probe.open();
}

QString PathTable::writableBase(const QString& fallbackDir) const {
    if (m_writable) {
        return m_programDir;
    }
    QDir().mkpath(fallbackDir);
    return fallbackDir;
}

QString PathTable::settingsFile() const {
    return writableBase(m_configDir) + QStringLiteral("campanix.ini");
}

QString PathTable::tempRingingFile() const {
    if (m_writable) {
        QDir().mkpath(customDir());
        return customDir() + QStringLiteral("temp.kol.tmp");
    }
    const QString dir = m_dataDir + QStringLiteral("Custom/");
    QDir().mkpath(dir);
    return dir + QStringLiteral("temp.kol.tmp");
}

QString PathTable::htmlDir() const {
    return writableBase(m_dataDir) + QStringLiteral("html");
}

QString PathTable::belfriesDir() const {
    return (m_writable ? m_programDir : m_dataDir) + QStringLiteral("Belfries/");
}

void PathTable::setSampleFolder(int modelRow, bool stereo) {
    m_sampleFolder = soundRoot() + QStringLiteral("Model") + QString::number(modelRow + 1) + u'/' +
                     (stereo ? QStringLiteral("Stereo/") : QStringLiteral("Mono/"));
}

void PathTable::setSampleFolderPath(const QString& folder) {
    m_sampleFolder = withSlash(folder);
}

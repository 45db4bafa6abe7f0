#include "base/PathTable.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryFile>

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

PathTable::PathTable(const QString& programDir, bool writable, const QString& configDir, const QString& dataDir)
    : m_programDir(withSlash(programDir)), m_writable(writable), m_configDir(withSlash(configDir)),
      m_dataDir(withSlash(dataDir)) {
    m_sampleFolder = soundRoot();
}

PathTable PathTable::forExecutable(const QString& programDir) {
    return PathTable(programDir, isFolderWritable(programDir), xdgFolder("XDG_CONFIG_HOME", ".config"),
                     xdgFolder("XDG_DATA_HOME", ".local/share"));
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

void PathTable::setSampleFolder(int modelRow, bool stereo) {
    m_sampleFolder = soundRoot() + QStringLiteral("Model") + QString::number(modelRow + 1) + u'/' +
                     (stereo ? QStringLiteral("Stereo/") : QStringLiteral("Mono/"));
}

// The real program still writes the association of ringing files at every
// start, now once its window has been shown and off the window's thread.

#include "desktop/FileAssociation.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

TEST(StartupAssociation, WrittenAfterTheWindowIsShown) {
    const QDir installation(QStringLiteral(CAMPANIX_RUNTIME_DIR));
    if (!QFileInfo(installation.filePath(QStringLiteral("campanix"))).isExecutable() ||
        !QFileInfo::exists(installation.filePath(QStringLiteral("Data/desc.kli")))) {
        GTEST_SKIP() << "the program or its data is not built";
    }
    // A program folder of its own (the program writes the association only
    // for an executable in its own folder) and a user of its own.
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/program");
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const QFileInfo& entry : installation.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        ASSERT_TRUE(QFile::link(entry.filePath(), folder + u'/' + entry.fileName()));
    }
    const QString executable = folder + QStringLiteral("/campanix");
    ASSERT_TRUE(QFile::copy(installation.filePath(QStringLiteral("campanix")), executable));
    const FileAssociation association(dir.path() + QStringLiteral("/data"),
                                      dir.path() + QStringLiteral("/config"));

    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
    env.insert(QStringLiteral("XDG_DATA_HOME"), dir.path() + QStringLiteral("/data"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path() + QStringLiteral("/config"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("campanix.app.debug=true"));
    program.setProcessEnvironment(env);
    program.start(executable, {});
    ASSERT_TRUE(program.waitForStarted());
    QByteArray said;
    const QDeadlineTimer shown(30000);
    while (!said.contains("main window shown") && !shown.hasExpired() &&
           program.state() == QProcess::Running) {
        program.waitForReadyRead(100);
        said += program.readAllStandardError();
    }
    ASSERT_TRUE(said.contains("main window shown")) << said.toStdString();
    const QDeadlineTimer written(30000);
    while (!QFileInfo::exists(association.desktopEntryPath()) && !written.hasExpired()) {
        QThread::msleep(20);
    }
    program.terminate();
    ASSERT_TRUE(program.waitForFinished(30000));
    QFile entry(association.desktopEntryPath());
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    EXPECT_EQ(entry.readAll(), FileAssociation::desktopEntry(executable));
    QFile package(association.mimePackagePath());
    ASSERT_TRUE(package.open(QIODevice::ReadOnly));
    EXPECT_EQ(package.readAll(), FileAssociation::mimePackage());
}

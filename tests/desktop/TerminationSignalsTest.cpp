// SIGTERM, SIGINT and SIGHUP close the real program as its window's close
// does: the settings written, exit code 0, the single-instance lock released.

#include "desktop/SingleInstance.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>

namespace {

// A program folder of its own: a copy of the executable (the program finds
// its folder through its own path) and links to the installation's data, so
// that its settings file is nobody else's.
bool makeProgramFolder(const QString& folder) {
    const QDir runtime(QStringLiteral(CAMPANIX_RUNTIME_DIR));
    for (const QFileInfo& entry : runtime.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        const QString target = folder + u'/' + entry.fileName();
        if (entry.fileName() == QStringLiteral("campanix")) {
            if (!QFile::copy(entry.filePath(), target)) {
                return false;
            }
        } else if (entry.isDir() && !QFile::link(entry.filePath(), target)) {
            return false;
        }
    }
    return true;
}

} // namespace

TEST(TerminationSignals, EachClosesTheProgramWithItsSettingsWritten) {
    if (!QFileInfo(QStringLiteral(CAMPANIX_RUNTIME_DIR "/campanix")).isExecutable() ||
        !QFileInfo::exists(QStringLiteral(CAMPANIX_RUNTIME_DIR "/Data/desc.kli"))) {
        GTEST_SKIP() << "the program or its data is not built";
    }
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/program");
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(makeProgramFolder(folder));
    const QString settings = folder + QStringLiteral("/campanix.ini");
    const QString runtime = dir.path() + QStringLiteral("/runtime");
    ASSERT_TRUE(QDir().mkpath(runtime));

    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        QFile::remove(settings);
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        env.insert(QStringLiteral("XDG_DATA_HOME"), dir.path() + QStringLiteral("/data"));
        // The file association writes mimeapps.list: never the tester's own.
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path() + QStringLiteral("/config"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
        program.setProcessEnvironment(env);
        program.start(folder + QStringLiteral("/campanix"), {});
        ASSERT_TRUE(program.waitForStarted());
        // Start-up writes the default settings; then the window is up.
        const QDeadlineTimer started(20000);
        while (!QFileInfo::exists(settings) && !started.hasExpired()) {
            QThread::msleep(20);
        }
        ASSERT_TRUE(QFileInfo::exists(settings));
        QThread::msleep(1000);
        // Closing writes what start-up read: the window's place among it.
        ASSERT_TRUE(QFile::remove(settings));
        ::kill(static_cast<pid_t>(program.processId()), signal);
        ASSERT_TRUE(program.waitForFinished(10000)) << "the signal was ignored";
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0);
        QFile written(settings);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        const QByteArray text = written.readAll();
        EXPECT_TRUE(text.contains("[Form]")) << text.toStdString();
        // The lock is free again: a new guard there is the first copy.
        SingleInstance next(runtime + QStringLiteral("/campanix"));
        EXPECT_EQ(next.claim(QString()), SingleInstance::Role::Primary);
    }
}

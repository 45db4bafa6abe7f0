// One running copy per user: the first claim listens, a later one hands over
// its file and ends, leftovers of a crashed copy block nothing, and the real
// program started a second time ends before touching any file of its own.

#include "desktop/SingleInstance.h"
#include "support/TestProgram.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// The files of the activation requests a guard received.
class Requests {
public:
    explicit Requests(SingleInstance& guard) {
        QObject::connect(&guard, &SingleInstance::activationRequested, &guard,
                         [this](const QString& file) { m_files << file; });
    }
    // Waits, running the event loop, for the next request.
    std::optional<QString> next(int ms = 10000) {
        QDeadlineTimer deadline(ms);
        while (m_files.isEmpty() && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        if (m_files.isEmpty()) {
            return std::nullopt;
        }
        return m_files.takeFirst();
    }

private:
    QStringList m_files;
};

// A socket file with nothing listening behind it, as a killed copy leaves.
void leaveStaleSocket(const QString& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    ASSERT_LT(static_cast<std::size_t>(name.size()), sizeof(address.sun_path));
    std::memcpy(address.sun_path, name.constData(), static_cast<std::size_t>(name.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);
}

// A lock file naming a process that has ended.
void leaveStaleLock(const QString& path) {
    QProcess done;
    done.start(QStringLiteral("true"));
    ASSERT_TRUE(done.waitForFinished());
    const qint64 deadPid = done.processId() ? done.processId() : 999999;
    QFile lock(path);
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(deadPid) + "\ncampanix\n" + QSysInfo::machineHostName().toUtf8() + "\n");
}

class SingleInstanceGuard : public ::testing::Test {
protected:
    void SetUp() override {
        ensureQtApplication();
        folder = dir.path() + QStringLiteral("/campanix");
    }
    QTemporaryDir dir;
    QString folder;
};

// The first claim is the running copy; a later one hands over its file,
// whatever characters the name holds, and is told to end.
TEST_F(SingleInstanceGuard, LaterStartHandsOverItsFile) {
    SingleInstance first(folder);
    ASSERT_EQ(first.claim(QString()), SingleInstance::Role::Primary);
    Requests requests(first);
    const QString names[] = {QString(), QStringLiteral("/home/u/Звоны/мой звон.ukl"),
                             QStringLiteral("/tmp/odd\tname\nwith%20breaks.ukl")};
    for (const QString& name : names) {
        SingleInstance later(folder);
        EXPECT_EQ(later.claim(name), SingleInstance::Role::Secondary);
        EXPECT_EQ(requests.next(), std::optional<QString>(name));
    }
    // Only this user may enter the folder or reach the socket.
    EXPECT_EQ(QFile::permissions(folder) &
                  (QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                   QFileDevice::ExeOther | QFileDevice::WriteGroup | QFileDevice::WriteOther),
              QFileDevice::Permissions());
    EXPECT_EQ(QFile::permissions(first.socketPath()) & (QFileDevice::WriteGroup | QFileDevice::WriteOther),
              QFileDevice::Permissions());
}

// A copy that crashed leaves its lock and socket; the next start takes over.
TEST_F(SingleInstanceGuard, StaleLeftoversDoNotBlockAStart) {
    ASSERT_TRUE(QDir().mkpath(folder));
    SingleInstance probe(folder);
    leaveStaleSocket(probe.socketPath());
    leaveStaleLock(probe.lockPath());
    ASSERT_TRUE(QFileInfo::exists(probe.socketPath()));

    SingleInstance next(folder);
    ASSERT_EQ(next.claim(QString()), SingleInstance::Role::Primary);
    Requests requests(next);
    SingleInstance later(folder);
    EXPECT_EQ(later.claim(QStringLiteral("/x.ukl")), SingleInstance::Role::Secondary);
    EXPECT_EQ(requests.next(), std::optional<QString>(QStringLiteral("/x.ukl")));
}

// A folder that another user could enter is not trusted: no guard at all.
TEST_F(SingleInstanceGuard, UnsafeFolderRunsUnguarded) {
    ASSERT_TRUE(QFile(dir.path() + QStringLiteral("/campanix")).open(QIODevice::WriteOnly)); // not a folder
    SingleInstance guard(folder);
    EXPECT_EQ(guard.claim(QString()), SingleInstance::Role::Unguarded);
}

// The real program, started while a copy runs, hands over its file (made
// absolute against the folder it was started in) and ends at once, before
// it reads or writes any file: the settings file stays byte for byte the
// same and no association is written.
TEST_F(SingleInstanceGuard, SecondProgramStartEndsWithoutTouchingFiles) {
    const QString program = QStringLiteral(CAMPANIX_RUNTIME_DIR) + QStringLiteral("/campanix");
    if (!QFileInfo(program).isExecutable()) {
        GTEST_SKIP() << "the program is not built";
    }
    const QString runtime = dir.path() + QStringLiteral("/runtime");
    ASSERT_TRUE(QDir().mkpath(runtime));
    SingleInstance running(runtime + QStringLiteral("/campanix"));
    ASSERT_EQ(running.claim(QString()), SingleInstance::Role::Primary);
    Requests requests(running);

    const QString settings = QStringLiteral(CAMPANIX_RUNTIME_DIR) + QStringLiteral("/campanix.ini");
    const bool settingsExisted = QFileInfo::exists(settings);
    QFile before(settings);
    const QByteArray settingsBefore = before.open(QIODevice::ReadOnly) ? before.readAll() : QByteArray();
    const QString work = dir.path() + QStringLiteral("/work");
    ASSERT_TRUE(QDir().mkpath(work));
    QFile ringing(work + QStringLiteral("/my ringing.ukl"));
    ASSERT_TRUE(ringing.open(QIODevice::WriteOnly));
    ringing.write("111110000000000\r\nbbmssnnnnnnnnnn\r\nTest\r\n144&{1\r\n");
    ringing.close();

    const QStringList startsWith[] = {{QStringLiteral("my"), QStringLiteral("ringing.ukl")}, {}};
    const QString handedOver[] = {ringing.fileName(), QString()};
    for (int i = 0; i < 2; ++i) {
        QProcess second;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        env.insert(QStringLiteral("XDG_DATA_HOME"), dir.path() + QStringLiteral("/data"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path() + QStringLiteral("/config"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        second.setProcessEnvironment(env);
        second.setWorkingDirectory(work);
        second.start(program, startsWith[i]);
        ASSERT_TRUE(second.waitForStarted());
        EXPECT_EQ(requests.next(), std::optional<QString>(handedOver[i]))
            << "no request from the second start";
        // It may have ended while the request was being read: waiting for a
        // process that has already finished answers false.
        ASSERT_TRUE(second.state() == QProcess::NotRunning || second.waitForFinished(10000));
        EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(second.exitCode(), 0);
    }
    QFile after(settings);
    EXPECT_EQ(QFileInfo::exists(settings), settingsExisted);
    EXPECT_EQ(after.open(QIODevice::ReadOnly) ? after.readAll() : QByteArray(), settingsBefore);
    EXPECT_FALSE(QFileInfo::exists(dir.path() + QStringLiteral("/data")));
    EXPECT_FALSE(QFileInfo::exists(dir.path() + QStringLiteral("/config")));
}

} // namespace

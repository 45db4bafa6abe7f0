// One running copy per user: the first claim listens, a later one hands over
// its file and ends, leftovers of a crashed copy block nothing, and the real
// program started a second time ends before touching any file of its own.

#include "desktop/SingleInstance.h"
#include "ForeignNamedFile.h"
#include "support/TestProgram.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include <sys/socket.h>
#include <sys/stat.h>
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
                             QStringLiteral("/tmp/odd\tname\nwith%20breaks.ukl"),
                             // "Мой звон" in Windows-1251: not UTF-8, its bytes are kept
                             fileNameFromLocalBytes("/tmp/\xcc\xee\xe9 \xe7\xe2\xee\xed.ukl")};
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

// A folder that another user made or may write into is never used, and
// nothing is written into it: the copy runs unguarded (and says so in the
// log) rather than trust it.
TEST_F(SingleInstanceGuard, UnsafeFolderRunsUnguarded) {
    const QString mine = dir.path() + QStringLiteral("/mine");
    ASSERT_TRUE(QDir().mkpath(mine));
    struct Case {
        const char* what;
        std::function<bool(const QByteArray& path)> make;
    };
    const Case cases[] = {
        {"a plain file",
         [](const QByteArray& path) { return QFile(QFile::decodeName(path)).open(QIODevice::WriteOnly); }},
        {"a link to a folder of this user's",
         [&](const QByteArray& path) {
             return ::symlink(QFile::encodeName(mine).constData(), path.constData()) == 0;
         }},
        {"a folder anyone may write to",
         [](const QByteArray& path) {
             return ::mkdir(path.constData(), 0700) == 0 && ::chmod(path.constData(), 0777) == 0;
         }},
        {"a folder of another user's",
         [](const QByteArray& path) {
             return ::geteuid() == 0 && ::mkdir(path.constData(), 0700) == 0 &&
                    ::chown(path.constData(), 65534, 65534) == 0;
         }},
    };
    int i = 0;
    for (const Case& c : cases) {
        const QString path = dir.path() + QStringLiteral("/guard") + QString::number(i++);
        if (!c.make(QFile::encodeName(path))) {
            continue; // another user's folder needs root to be made
        }
        SingleInstance guard(path);
        EXPECT_EQ(guard.claim(QString()), SingleInstance::Role::Unguarded) << c.what;
        EXPECT_FALSE(QFileInfo::exists(mine + QStringLiteral("/instance.lock"))) << c.what;
    }
}

// Without a runtime folder of the user's own that can hold a socket, the
// guard lives in the user's cache folder, never in the shared temporary
// folder where another user could take the name first.
TEST_F(SingleInstanceGuard, DefaultFolderIsTheUsersOwn) {
    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray savedCache = qgetenv("XDG_CACHE_HOME");
    const QString cache = dir.path() + QStringLiteral("/cache");
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cache));
    const QString own = dir.path() + QStringLiteral("/run");
    const QString loose = dir.path() + QStringLiteral("/loose");
    const QString deep = dir.path() + u'/' + QString(110, u'r');
    for (const QString& folder : {own, loose, deep}) {
        ASSERT_EQ(::mkdir(QFile::encodeName(folder).constData(), 0700), 0);
    }
    ::chmod(QFile::encodeName(loose).constData(), 0777);
    const std::pair<QString, QString> cases[] = {
        {QString(), cache + QStringLiteral("/campanix")},             // unset
        {own, own + QStringLiteral("/campanix")},                     // the user's own
        {loose, cache + QStringLiteral("/campanix")},                 // anyone may write to it
        {deep, cache + QStringLiteral("/campanix")},                  // no socket name fits in it
        {QStringLiteral("run"), cache + QStringLiteral("/campanix")}, // relative
    };
    for (const auto& [runtime, expected] : cases) {
        if (runtime.isNull()) {
            qunsetenv("XDG_RUNTIME_DIR");
        } else {
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        }
        EXPECT_EQ(SingleInstance::defaultFolder(), expected) << runtime.toStdString();
    }
    for (const auto& [name, saved] :
         {std::pair("XDG_RUNTIME_DIR", savedRuntime), std::pair("XDG_CACHE_HOME", savedCache)}) {
        if (saved.isNull()) {
            qunsetenv(name);
        } else {
            qputenv(name, saved);
        }
    }
}

// A lock that nobody answers for (empty, or written on another machine) is
// taken over after the wait, and the new copy answers later starts; a lock
// that a live process holds is never taken, even when it does not answer.
TEST_F(SingleInstanceGuard, UnansweredLockIsTakenOverUnlessHeld) {
    const QByteArray leftLocks[] = {QByteArray(), "4242\ncampanix\nanother-machine.example\n"};
    int i = 0;
    for (const QByteArray& left : leftLocks) {
        const QString path = dir.path() + QStringLiteral("/left") + QString::number(i++);
        ASSERT_EQ(::mkdir(QFile::encodeName(path).constData(), 0700), 0);
        SingleInstance next(path);
        QFile lock(next.lockPath());
        ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
        lock.write(left);
        lock.close();
        QElapsedTimer waited;
        waited.start();
        ASSERT_EQ(next.claim(QStringLiteral("/mine.ukl")), SingleInstance::Role::Primary) << left.constData();
        EXPECT_LT(waited.elapsed(), 8000);
        Requests requests(next);
        SingleInstance later(path);
        EXPECT_EQ(later.claim(QStringLiteral("/x.ukl")), SingleInstance::Role::Secondary);
        EXPECT_EQ(requests.next(), std::optional<QString>(QStringLiteral("/x.ukl")));
    }

    // Held (its file lock taken) by a process that runs but does not listen.
    SingleInstance probe(folder);
    ASSERT_TRUE(QDir().mkpath(folder));
    QLockFile held(probe.lockPath());
    ASSERT_TRUE(held.tryLock(0));
    SingleInstance next(folder);
    EXPECT_EQ(next.claim(QString()), SingleInstance::Role::Unguarded);
    EXPECT_TRUE(held.isLocked());
    EXPECT_TRUE(QFileInfo::exists(probe.lockPath()));
}

// A copy that cannot listen (the socket's name is beyond the system's limit)
// runs unguarded and gives the lock up, so that a later start neither waits
// for it nor ends.
TEST_F(SingleInstanceGuard, CopyThatCannotListenGivesTheLockUp) {
    const QString deep = dir.path() + u'/' + QString(120, u'd');
    SingleInstance first(deep);
    EXPECT_EQ(first.claim(QString()), SingleInstance::Role::Unguarded);
    QLockFile lock(first.lockPath());
    EXPECT_TRUE(lock.tryLock(0));
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

    // A name that is not UTF-8 ("Мой звон" in Windows-1251) reaches the
    // program as the bytes a shell gives it, and the running copy as them.
    const ForeignNamedFile foreign(work, QByteArray());
    ASSERT_TRUE(foreign.made());
    struct Start {
        QString program;
        QStringList arguments;
        QString handedOver;
    };
    const Start starts[] = {
        {program, {QStringLiteral("my"), QStringLiteral("ringing.ukl")}, ringing.fileName()},
        {program, {}, QString()},
        {QStringLiteral("/bin/sh"),
         {QStringLiteral("-c"),
          QStringLiteral("exec \"$0\" $(printf '\\314\\356\\351 \\347\\342\\356\\355.ukl')"), program},
         foreign.name()},
    };
    for (const Start& start : starts) {
        QProcess second;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        env.insert(QStringLiteral("XDG_DATA_HOME"), dir.path() + QStringLiteral("/data"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path() + QStringLiteral("/config"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        second.setProcessEnvironment(env);
        second.setWorkingDirectory(work);
        second.start(start.program, start.arguments);
        ASSERT_TRUE(second.waitForStarted());
        EXPECT_EQ(requests.next(), std::optional<QString>(start.handedOver))
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

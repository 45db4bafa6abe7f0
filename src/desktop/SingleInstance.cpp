#include "desktop/SingleInstance.h"

#include "base/Logging.h"
#include "desktop/LocalFileName.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A request is one line: "open" or "open\t<file>", the bytes of the file's
// name percent-encoded, so that no character of a name can end the line and
// a name that is not UTF-8 arrives as it was sent.
const QByteArray kRequest = QByteArrayLiteral("open");
constexpr qsizetype kLongestRequest = 64 * 1024;
// How long a later start waits for a running copy that is still starting;
// after that the lock is taken to be left by a copy that is gone.
constexpr int kConnectMilliseconds = 3000;

QString lastError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Why a folder, as lstat() found it, cannot hold the guard's files; empty
// when it is this user's own and nobody else may write into it.
QString whyNotPrivate(const struct stat& status) {
    if (S_ISLNK(status.st_mode)) {
        return QStringLiteral("it is a symbolic link");
    }
    if (!S_ISDIR(status.st_mode)) {
        return QStringLiteral("it is not a folder");
    }
    if (status.st_uid != ::geteuid()) {
        return QStringLiteral("it belongs to another user");
    }
    if ((status.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        return QStringLiteral("others may write to it");
    }
    return {};
}

QString whyNotPrivate(const QString& folder) {
    struct stat status {};
    if (::lstat(QFile::encodeName(folder).constData(), &status) != 0) {
        return lastError();
    }
    return whyNotPrivate(status);
}

bool socketNameFits(const QString& folder) {
    const QByteArray name = QFile::encodeName(folder + QStringLiteral("/instance.socket"));
    return static_cast<std::size_t>(name.size()) < sizeof(sockaddr_un::sun_path);
}

} // namespace

SingleInstance::SingleInstance(QString folder, QObject* parent)
    : QObject(parent), m_folder(std::move(folder)) {}

SingleInstance::~SingleInstance() {
    if (m_server) {
        m_server->close();
    }
}

QString SingleInstance::defaultFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime)) {
        const QString folder = runtime + QStringLiteral("/campanix");
        const QString unsafe = whyNotPrivate(runtime);
        if (unsafe.isEmpty() && socketNameFits(folder)) {
            return folder;
        }
        qCWarning(lcDesktop).noquote()
            << "the runtime folder" << runtime << "is not used for the guard:"
            << (unsafe.isEmpty() ? QStringLiteral("its path is too long") : unsafe);
    }
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/campanix");
}

QString SingleInstance::socketPath() const {
    return m_folder + QStringLiteral("/instance.socket");
}

QString SingleInstance::lockPath() const {
    return m_folder + QStringLiteral("/instance.lock");
}

QString SingleInstance::preparePrivateFolder() const {
    const QByteArray path = QFile::encodeName(m_folder);
    struct stat status {};
    if (::lstat(path.constData(), &status) != 0) {
        if (errno != ENOENT) {
            return lastError();
        }
        // Made private from the start: there is no moment at which another
        // user could put a file of theirs into it.
        if (!QDir().mkpath(QFileInfo(m_folder).absolutePath()) ||
            (::mkdir(path.constData(), S_IRWXU) != 0 && errno != EEXIST) ||
            ::lstat(path.constData(), &status) != 0) {
            return lastError();
        }
    }
    if (const QString unsafe = whyNotPrivate(status); !unsafe.isEmpty()) {
        return unsafe;
    }
    if ((status.st_mode & (S_IRWXG | S_IRWXO)) != 0 && ::chmod(path.constData(), S_IRWXU) != 0) {
        return lastError();
    }
    return {};
}

SingleInstance::Role SingleInstance::claim(const QString& fileToOpen) {
    if (const QString unsafe = preparePrivateFolder(); !unsafe.isEmpty()) {
        qCWarning(lcDesktop).noquote() << "running without the single-instance guard: the folder" << m_folder
                                       << "cannot be used:" << unsafe;
        return Role::Unguarded;
    }
    m_lock = std::make_unique<QLockFile>(lockPath());
    // Never stale by age: only a lock whose process is gone is taken over.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0)) {
        return becomePrimary();
    }
    if (m_lock->error() != QLockFile::LockFailedError) {
        qCWarning(lcDesktop).noquote()
            << "running without the single-instance guard: the lock" << lockPath() << "cannot be taken";
        m_lock.reset();
        return Role::Unguarded;
    }
    if (sendRequest(fileToOpen)) {
        m_lock.reset();
        return Role::Secondary;
    }
    // Nobody listens behind the lock: an empty one, one written on another
    // machine, one whose process is gone. A copy that holds it still keeps
    // it, as the removal needs the lock's own file lock.
    qCWarning(lcDesktop).noquote() << "no running copy answers; taking the lock" << lockPath() << "over";
    m_lock->removeStaleLockFile();
    if (m_lock->tryLock(0)) {
        return becomePrimary();
    }
    // Another start took it meanwhile, or a copy holds it and does not answer.
    if (sendRequest(fileToOpen)) {
        m_lock.reset();
        return Role::Secondary;
    }
    qCWarning(lcDesktop).noquote() << "running without the single-instance guard: the lock" << lockPath()
                                   << "is held by a copy that does not answer";
    m_lock.reset();
    return Role::Unguarded;
}

SingleInstance::Role SingleInstance::becomePrimary() {
    if (listen()) {
        return Role::Primary;
    }
    // A copy nobody can reach must not hold the lock: every later start
    // would wait for it in vain.
    m_lock->unlock();
    m_lock.reset();
    return Role::Unguarded;
}

bool SingleInstance::listen() {
    // A socket left by a copy that crashed would make listen() fail.
    QLocalServer::removeServer(socketPath());
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(socketPath())) {
        qCWarning(lcDesktop).noquote() << "running without the single-instance guard: cannot listen on"
                                       << socketPath() << "-" << m_server->errorString();
        delete m_server;
        m_server = nullptr;
        return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
            readRequest(socket);
        }
    });
    return true;
}

void SingleInstance::readRequest(QLocalSocket* socket) {
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > kLongestRequest) {
            socket->abort();
        }
        return;
    }
    QByteArray line = socket->readLine(kLongestRequest);
    socket->disconnectFromServer();
    if (line.endsWith('\n')) {
        line.chop(1);
    }
    const qsizetype tab = line.indexOf('\t');
    if (line.left(tab < 0 ? line.size() : tab) != kRequest) {
        return;
    }
    emit activationRequested(
        tab < 0 ? QString() : fileNameFromLocalBytes(QByteArray::fromPercentEncoding(line.mid(tab + 1))));
}

bool SingleInstance::sendRequest(const QString& fileToOpen) const {
    QByteArray request = kRequest;
    if (!fileToOpen.isEmpty()) {
        request += '\t' + localBytesOfFileName(fileToOpen).toPercentEncoding();
    }
    request += '\n';
    // The running copy may have taken the lock and not yet be listening.
    const QDeadlineTimer deadline(kConnectMilliseconds);
    QLocalSocket socket;
    while (true) {
        socket.connectToServer(socketPath());
        if (socket.waitForConnected(500)) {
            break;
        }
        if (deadline.hasExpired()) {
            return false;
        }
        QThread::msleep(50);
    }
    socket.write(request);
    const bool written = socket.waitForBytesWritten(2000);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) {
        socket.waitForDisconnected(1000);
    }
    return written;
}

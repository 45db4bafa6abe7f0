#include "desktop/SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>

#include <unistd.h>

namespace {

// A request is one line: "open" or "open\t<file>", the file's name in UTF-8
// percent-encoded, so that no character of a name can end the line.
const QByteArray kRequest = QByteArrayLiteral("open");
constexpr qsizetype kLongestRequest = 64 * 1024;
// How long a later start waits for a running copy that is still starting.
constexpr int kConnectMilliseconds = 3000;

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
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir()) {
        return runtime + QStringLiteral("/campanix");
    }
    return QDir::tempPath() + QStringLiteral("/campanix-") + QString::number(::getuid());
}

QString SingleInstance::socketPath() const {
    return m_folder + QStringLiteral("/instance.socket");
}

QString SingleInstance::lockPath() const {
    return m_folder + QStringLiteral("/instance.lock");
}

bool SingleInstance::preparePrivateFolder() const {
    if (!QFileInfo(m_folder).isDir() && !QDir().mkpath(m_folder)) {
        return false;
    }
    // Another user's folder, or one others can enter, is not ours to trust.
    const QFileInfo info(m_folder);
    if (info.isSymLink() || info.ownerId() != ::getuid()) {
        return false;
    }
    const QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                               QFileDevice::ExeOwner | QFileDevice::ReadUser |
                                               QFileDevice::WriteUser | QFileDevice::ExeUser;
    return QFile::setPermissions(m_folder, ownerOnly);
}

SingleInstance::Role SingleInstance::claim(const QString& fileToOpen) {
    if (!preparePrivateFolder()) {
        return Role::Unguarded;
    }
    m_lock = std::make_unique<QLockFile>(lockPath());
    // Never stale by age: only a lock whose process is gone is taken over.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0)) {
        listen();
        return Role::Primary;
    }
    if (m_lock->error() != QLockFile::LockFailedError) {
        m_lock.reset();
        return Role::Unguarded;
    }
    m_lock.reset();
    sendRequest(fileToOpen);
    return Role::Secondary;
}

bool SingleInstance::listen() {
    // A socket left by a copy that crashed would make listen() fail.
    QLocalServer::removeServer(socketPath());
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(socketPath())) {
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
    emit activationRequested(tab < 0 ? QString()
                                     : QString::fromUtf8(QByteArray::fromPercentEncoding(line.mid(tab + 1))));
}

bool SingleInstance::sendRequest(const QString& fileToOpen) const {
    QByteArray request = kRequest;
    if (!fileToOpen.isEmpty()) {
        request += '\t' + fileToOpen.toUtf8().toPercentEncoding();
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
